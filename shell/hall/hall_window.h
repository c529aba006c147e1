#pragma once
// The hall of fame's window: the kept games, the proven best first, each proven again by
// playing its recording while the window is up (on the keeper's thread, so the window
// answers meanwhile); "Смотреть" shows the chosen one in the main window. With the
// world's hall of fame, each game can be sent there and tells what became of it, and
// the page "Мир" shows the world's board.

#include <QDialog>
#include <vector>

#include "replay/hall.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace grimbolt {

class Keeper;
class WorldLink;
class WorldPage;

class HallWindow : public QDialog {
    Q_OBJECT
  public:
    // `world`, when there is one, outlives the window.
    HallWindow(Keeper& keeper, WorldLink* world, QWidget* parent);

    QTableWidget* table() const { return table_; }
    QPushButton* play_back_button() const { return play_back_; }
    QPushButton* send_button() const { return send_; }
    QTabWidget* pages() const { return pages_; }
    // Null without the world's hall of fame.
    WorldPage* world_page() const { return world_page_; }
    // Whether the games are listed, each proven.
    bool listed() const { return listed_; }

  signals:
    // The chosen game's recording, to be played back.
    void play_back(const QString& path);
    // A game of the world's board, proven here, to be played back.
    void watch(const QByteArray& recording);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fill(const std::vector<HallEntry>& entries);
    void retranslate();
    void fit();
    void on_play_back();
    void on_send();
    void show_fates();
    void enable_buttons();
    QByteArray recording_of(int row) const;

    Keeper& keeper_;
    WorldLink* world_;
    std::vector<HallEntry> entries_;
    bool listed_ = false;
    QTableWidget* table_ = nullptr;
    QPushButton* play_back_ = nullptr;
    QPushButton* send_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QWidget* own_page_ = nullptr;
    WorldPage* world_page_ = nullptr;
};

}  // namespace grimbolt
