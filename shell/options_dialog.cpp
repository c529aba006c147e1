#include "shell/options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace grimbolt {
namespace {

QCheckBox* box(const QString& text, bool on, QVBoxLayout* layout) {
    auto* b = new QCheckBox(text);
    b->setChecked(on);
    layout->addWidget(b);
    return b;
}

}  // namespace

OptionsDialog::OptionsDialog(const Options& options, QWidget* parent)
    : QDialog(parent), shown_(options) {
    setWindowTitle(QStringLiteral("Настройки"));
    auto* layout = new QVBoxLayout(this);
    safe_start_ = box(QStringLiteral("Безопасный старт: монстры появляются, когда робот встал на "
                                     "плитки (со следующей игры)"),
                      options.safe_start, layout);
    remember_speed_ =
        box(QStringLiteral("Запоминать скорость игры"), options.remember_speed, layout);
    full_screen_ = box(QStringLiteral("Запоминать полный экран"), options.full_screen, layout);
    pause_sign_ = box(QStringLiteral("Показывать знак паузы"), options.pause_sign, layout);
    game_over_ = box(QStringLiteral("Показывать итоги игры"), options.game_over, layout);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    safe_start_->setFocus();
}

Options OptionsDialog::options() const {
    Options o = shown_;
    o.safe_start = safe_start_->isChecked();
    o.remember_speed = remember_speed_->isChecked();
    o.full_screen = full_screen_->isChecked();
    o.pause_sign = pause_sign_->isChecked();
    o.game_over = game_over_->isChecked();
    return o;
}

}  // namespace grimbolt
