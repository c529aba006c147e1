#pragma once
// The keys window of the enhanced edition ("Клавиши"): every action with its keys and
// its pad button. The player picks an action and a key of it, presses the new key (or
// button), and sees it at once; a key another action has is offered to swap, and no
// action is left without a key. The pad drives the window too.

#include <QDialog>
#include <optional>

#include "shell/input/key_bindings.h"
#include "shell/input/pad_bindings.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace grimbolt {

class KeysDialog : public QDialog {
    Q_OBJECT
  public:
    KeysDialog(const KeyBindings& keys, const PadBindings& pad, QWidget* parent);

    const KeyBindings& keys() const { return keys_; }
    const PadBindings& pad() const { return pad_; }
    QTableWidget* table() const { return table_; }
    QCheckBox* by_place() const { return by_place_; }
    QLabel* hint() const { return hint_; }

    // The chosen key of the chosen action: wait for its new key (Esc: keep the old one),
    // or take it away.
    void change();
    void remove();
    // A key another action has: it takes this one's old key, or nothing changes.
    void swap();
    void cancel();
    void restore_defaults();
    bool waiting() const { return waiting_; }
    bool asking() const { return pending_.has_value() || pending_button_.has_value(); }

    // A pad's button went down. While the window waits for a button it is the new one;
    // otherwise the D-pad moves, A chooses, B goes back, LB and RB go to the window's
    // other controls, Start is "ОК".
    void pad_pressed(int button);
    // Says how the pad drives the window, while there is a pad.
    void show_pad_help(bool shown);

    // An action and a key as the player reads them, in the language of now.
    static QString action_name(Action a);
    static QString key_name(const BoundKey& key);
    static QString pad_name(int button);
    // Every action with its keys, a line each.
    static QString summary(const KeyBindings& keys);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    Action chosen_action() const;
    int chosen_slot() const;
    bool pad_column() const;
    void take(const BoundKey& key);
    void take_button(int button);
    void send_key(int key);
    void show_keys();
    void say(const QString& text);
    void retranslate();

    KeyBindings keys_;
    PadBindings pad_;
    QTableWidget* table_ = nullptr;
    QCheckBox* by_place_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* pad_help_ = nullptr;
    QPushButton* change_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* swap_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    bool waiting_ = false;
    std::optional<BoundKey> pending_;    // a key another action has, awaiting the choice
    std::optional<int> pending_button_;  // the same for a pad's button
};

}  // namespace grimbolt
