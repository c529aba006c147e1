#include "shell/enhanced/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace grimbolt {
namespace {

QCheckBox* box(bool on, QVBoxLayout* layout) {
    auto* b = new QCheckBox;
    b->setChecked(on);
    layout->addWidget(b);
    return b;
}

}  // namespace

OptionsDialog::OptionsDialog(const Options& options, QWidget* parent)
    : QDialog(parent), shown_(options) {
    auto* layout = new QVBoxLayout(this);
    fair_start_ = box(options.fair_start, layout);
    safe_start_ = box(options.safe_start, layout);
    remember_speed_ = box(options.remember_speed, layout);
    full_screen_ = box(options.full_screen, layout);
    pause_sign_ = box(options.pause_sign, layout);
    game_over_ = box(options.game_over, layout);
    world_send_ = box(options.world_send, layout);

    // Each language by its own name, so that a reader of either finds it.
    auto* row = new QHBoxLayout;
    language_label_ = new QLabel;
    language_ = new QComboBox;
    language_->addItem(QStringLiteral("Русский"), QStringLiteral("ru"));
    language_->addItem(QStringLiteral("English"), QStringLiteral("en"));
    language_->setCurrentIndex(std::max(0, language_->findData(options.language)));
    language_label_->setBuddy(language_);
    row->addWidget(language_label_);
    row->addWidget(language_, 1);
    layout->addLayout(row);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    retranslate();
    fair_start_->setFocus();
}

void OptionsDialog::retranslate() {
    setWindowTitle(tr("Параметры"));
    fair_start_->setText(
        tr("Честный старт: робот стоит на плитках посередине, монстры ждут три секунды (со "
           "следующей игры)"));
    safe_start_->setText(
        tr("Безопасный старт: монстры появляются, когда робот встал на плитки (со следующей "
           "игры)"));
    remember_speed_->setText(tr("Запоминать скорость игры"));
    full_screen_->setText(tr("Запоминать полный экран"));
    pause_sign_->setText(tr("Показывать знак паузы"));
    game_over_->setText(tr("Показывать итоги игры"));
    world_send_->setText(tr("Отправлять рекорды сами"));
    world_send_->setToolTip(
        tr("Каждая игра, вошедшая в рекорды, отправляется на сервер мировых рекордов, "
           "выбранный на странице «Мир» окна «Рекорды…»"));
    language_label_->setText(tr("Язык / Language:"));
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("ОК"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
}

void OptionsDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

Options OptionsDialog::options() const {
    Options o = shown_;
    o.fair_start = fair_start_->isChecked();
    o.safe_start = safe_start_->isChecked();
    o.remember_speed = remember_speed_->isChecked();
    o.full_screen = full_screen_->isChecked();
    o.pause_sign = pause_sign_->isChecked();
    o.game_over = game_over_->isChecked();
    o.world_send = world_send_->isChecked();
    o.language = language_->currentData().toString();
    return o;
}

}  // namespace grimbolt
