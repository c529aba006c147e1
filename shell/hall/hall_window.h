#pragma once
// The hall of fame's window: the kept games, the proven best first, each proven again by
// playing its recording while the window is up (on the keeper's thread, so the window
// answers meanwhile); "Смотреть" shows the chosen one in the main window.

#include <QDialog>
#include <vector>

#include "replay/hall.h"

class QDialogButtonBox;
class QPushButton;
class QTableWidget;

namespace grimbolt {

class Keeper;

class HallWindow : public QDialog {
    Q_OBJECT
  public:
    HallWindow(Keeper& keeper, QWidget* parent);

    QTableWidget* table() const { return table_; }
    QPushButton* play_back_button() const { return play_back_; }
    // Whether the games are listed, each proven.
    bool listed() const { return listed_; }

  signals:
    // The chosen game's recording, to be played back.
    void play_back(const QString& path);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fill(const std::vector<HallEntry>& entries);
    void retranslate();
    void fit();
    void on_play_back();

    Keeper& keeper_;
    std::vector<HallEntry> entries_;
    bool listed_ = false;
    QTableWidget* table_ = nullptr;
    QPushButton* play_back_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace grimbolt
