#pragma once
// The hall window's page "Мир": joining a world server, its classic board with the
// player's own place and the games around it, and any of its games watched after it is
// downloaded and proven here. Every answer comes while the game goes on.

#include <QJsonObject>
#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace grimbolt {

class Keeper;
class WorldLink;

class WorldPage : public QWidget {
    Q_OBJECT
  public:
    // `world` and `keeper` outlive the page.
    WorldPage(WorldLink& world, Keeper& keeper, QWidget* parent = nullptr);

    // Reads the board again (each time the page is opened).
    void refresh();

    QTableWidget* board() const { return board_; }
    QLineEdit* server_field() const { return server_; }
    QLineEdit* name_field() const { return name_; }
    QPushButton* join_button() const { return join_; }
    QPushButton* watch_button() const { return watch_; }
    QLabel* status() const { return status_; }
    // The board's games as shown, the best first; a gap between places is a row of its own.
    const std::vector<QJsonObject>& rows() const { return rows_; }

  signals:
    // A game of the board, downloaded and proven: to be played back.
    void watch(const QByteArray& recording);
    // The board was read and shown.
    void shown();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void retranslate();
    void show_account();
    void say(const QString& line);
    void read(const QString& around, int reading);
    void fill();
    void enable_watch();
    void on_watch();

    WorldLink& world_;
    Keeper& keeper_;
    std::vector<QJsonObject> rows_;  // an empty object stands for a gap
    int reading_ = 0;                // the latest refresh's number: older answers are stale
    QLabel* account_ = nullptr;
    QPushButton* change_ = nullptr;
    QWidget* form_ = nullptr;
    QLabel* server_label_ = nullptr;
    QLineEdit* server_ = nullptr;
    QLabel* name_label_ = nullptr;
    QLineEdit* name_ = nullptr;
    QPushButton* join_ = nullptr;
    QTableWidget* board_ = nullptr;
    QPushButton* watch_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace grimbolt
