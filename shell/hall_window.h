#pragma once
// The hall of fame's window: the ten best games, best first, each proven by playing its
// recording again while the window is up; "Смотреть" shows the chosen one in the main
// window.

#include <QDialog>
#include <QTimer>
#include <vector>

#include "replay/hall.h"

class QDialogButtonBox;
class QPushButton;
class QTableWidget;

namespace grimbolt {

class HallWindow : public QDialog {
    Q_OBJECT
  public:
    HallWindow(Hall& hall, QWidget* parent);

    QTableWidget* table() const { return table_; }
    QPushButton* watch_button() const { return watch_; }
    // Entries proven so far; the rest wait their turn.
    int checked() const { return checked_; }

  signals:
    // The chosen game's recording, to be watched.
    void watch(const QString& path);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fill();
    void check_next();
    void retranslate();
    void on_watch();

    Hall& hall_;
    std::vector<HallEntry> entries_;
    int checked_ = 0;
    QTimer next_check_;
    QTableWidget* table_ = nullptr;
    QPushButton* watch_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace grimbolt
