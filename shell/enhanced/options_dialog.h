#pragma once
// The enhanced edition's options window: a check box for each comfort, OK and Cancel.

#include <QDialog>

#include "shell/enhanced/settings.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace grimbolt {

class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    OptionsDialog(const Options& options, QWidget* parent);

    // The options as the boxes stand, with what the window does not show kept.
    Options options() const;

    QCheckBox* fair_start() const { return fair_start_; }
    QCheckBox* safe_start() const { return safe_start_; }
    QCheckBox* remember_speed() const { return remember_speed_; }
    QCheckBox* full_screen() const { return full_screen_; }
    QCheckBox* pause_sign() const { return pause_sign_; }
    QCheckBox* game_over() const { return game_over_; }
    QCheckBox* world_send() const { return world_send_; }
    QComboBox* language() const { return language_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void retranslate();

    Options shown_;
    QCheckBox* fair_start_ = nullptr;
    QCheckBox* safe_start_ = nullptr;
    QCheckBox* remember_speed_ = nullptr;
    QCheckBox* full_screen_ = nullptr;
    QCheckBox* pause_sign_ = nullptr;
    QCheckBox* game_over_ = nullptr;
    QCheckBox* world_send_ = nullptr;
    QLabel* language_label_ = nullptr;
    QComboBox* language_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace grimbolt
