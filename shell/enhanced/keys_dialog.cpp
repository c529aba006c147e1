#include "shell/enhanced/keys_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace grimbolt {
namespace {

// A key the window system could not name is no key to bind.
bool is_no_key(int key) {
    return key == Qt::Key_unknown || key == 0;
}

}  // namespace

KeysDialog::KeysDialog(const KeyBindings& keys, const PadBindings& pad, QWidget* parent)
    : QDialog(parent), keys_(keys), pad_(pad) {
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(kActions, 4, this);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(table_);
    by_place_ = new QCheckBox(this);
    layout->addWidget(by_place_);
    hint_ = new QLabel(this);
    hint_->setWordWrap(true);
    layout->addWidget(hint_);
    pad_help_ = new QLabel(this);
    pad_help_->setWordWrap(true);
    pad_help_->hide();
    layout->addWidget(pad_help_);

    auto* row = new QHBoxLayout;
    change_ = new QPushButton(this);
    remove_ = new QPushButton(this);
    swap_ = new QPushButton(this);
    cancel_ = new QPushButton(this);
    defaults_ = new QPushButton(this);
    // Enter in the table changes a key; on the question, it answers with the button that
    // has the focus.
    for (QPushButton* b : {change_, remove_, swap_, cancel_, defaults_}) {
        b->setAutoDefault(b == swap_ || b == cancel_);
        row->addWidget(b);
    }
    layout->addLayout(row);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons_);

    connect(change_, &QPushButton::clicked, this, &KeysDialog::change);
    connect(remove_, &QPushButton::clicked, this, &KeysDialog::remove);
    connect(swap_, &QPushButton::clicked, this, &KeysDialog::swap);
    connect(cancel_, &QPushButton::clicked, this, &KeysDialog::cancel);
    connect(defaults_, &QPushButton::clicked, this, &KeysDialog::restore_defaults);
    // Enter on a key changes it, as a double click does.
    connect(table_, &QTableWidget::cellActivated, this, [this] { change(); });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    qApp->installEventFilter(this);
    retranslate();
    show_keys();
    table_->setCurrentCell(0, 1);
    table_->setFocus();
    // Every action in sight, without scrolling.
    table_->setMinimumHeight(table_->verticalHeader()->length() +
                             table_->horizontalHeader()->sizeHint().height() +
                             2 * table_->frameWidth());
    resize(560, sizeHint().height());
}

Action KeysDialog::chosen_action() const {
    return Action(std::clamp(table_->currentRow(), 0, kActions - 1));
}

int KeysDialog::chosen_slot() const {
    return table_->currentColumn() == 2 ? 1 : 0;
}

bool KeysDialog::pad_column() const {
    return table_->currentColumn() == 3;
}

void KeysDialog::change() {
    if (asking())
        return;
    waiting_ = true;
    if (pad_column())
        say(tr("Нажмите кнопку пульта для «%1» (Esc или та же кнопка — оставить как было)")
                .arg(action_name(chosen_action())));
    else
        say(tr("Нажмите новую клавишу для «%1» (Esc — оставить как было)")
                .arg(action_name(chosen_action())));
}

void KeysDialog::remove() {
    if (pad_column()) {
        pad_.button[std::size_t(chosen_action())] = pad::None;  // the keys still do it
        show_keys();
        say(QString());
        return;
    }
    auto& keys = keys_.of(chosen_action());
    const int slot = chosen_slot();
    if (keys[std::size_t(1 - slot)].empty()) {
        say(tr("У действия должна остаться хотя бы одна клавиша."));
        return;
    }
    keys[std::size_t(slot)] = BoundKey{};
    if (keys[0].empty())
        std::swap(keys[0], keys[1]);
    show_keys();
    say(QString());
}

// Qt offers a key to the focused control first: while waiting, the dialog takes it.
bool KeysDialog::eventFilter(QObject* watched, QEvent* event) {
    // Each key once, where it first arrives: a key a control passes on to its parent
    // (the Enter that began the waiting) is not the new key.
    const QWidget* focus = QApplication::focusWidget();
    const QObject* first = focus != nullptr && focus->window() == this ? focus : this;
    if (!waiting_ || event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != this)
        return QDialog::eventFilter(watched, event);
    if (watched != first)
        return true;  // not to the dialog's default button either
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->isAutoRepeat() || is_no_key(key->key()))
        return true;
    if (key->key() == Qt::Key_Escape) {
        waiting_ = false;
        say(QString());
        return true;
    }
    if (pad_column())
        return true;  // the pad's button is awaited
    waiting_ = false;
    const BoundKey chosen{key->key(), by_place_->isChecked() ? key->nativeScanCode() : 0};
    if (!bindable(chosen)) {
        say(tr("«%1» нельзя назначить: выберите другую клавишу.").arg(key_name(chosen)));
        return true;
    }
    take(chosen);
    return true;
}

void KeysDialog::take(const BoundKey& key) {
    const Action a = chosen_action();
    auto& keys = keys_.of(a);
    if (keys_.holder_of(key, a)) {
        pending_ = key;
        say(tr("«%1» уже у действия «%2». Поменять их клавиши?")
                .arg(key_name(key), action_name(*keys_.holder_of(key, a))));
        show_keys();
        swap_->setFocus();  // Enter swaps, Tab reaches the other choice
        return;
    }
    const int other = 1 - chosen_slot();
    if (keys[std::size_t(other)] == key)
        keys[std::size_t(other)] = BoundKey{};  // the same key twice is once
    keys[std::size_t(chosen_slot())] = key;
    if (keys[0].empty())
        std::swap(keys[0], keys[1]);
    show_keys();
    say(QString());
}

void KeysDialog::take_button(int button) {
    const Action a = chosen_action();
    if (const auto holder = pad_.holder_of(button, a)) {
        pending_button_ = button;
        say(tr("«%1» уже у действия «%2». Поменять их кнопки?")
                .arg(pad_name(button), action_name(*holder)));
        show_keys();
        swap_->setFocus();
        return;
    }
    pad_.button[std::size_t(a)] = std::int8_t(button);
    show_keys();
    say(QString());
}

void KeysDialog::swap() {
    if (pending_button_) {
        const int button = *std::exchange(pending_button_, std::nullopt);
        const Action a = chosen_action();
        const auto holder = pad_.holder_of(button, a);
        if (!holder)
            return cancel();
        pad_.button[std::size_t(*holder)] = pad_.button[std::size_t(a)];
        pad_.button[std::size_t(a)] = std::int8_t(button);
        show_keys();
        say(QString());
        table_->setFocus();
        return;
    }
    if (!pending_)
        return;
    const BoundKey key = *std::exchange(pending_, std::nullopt);
    const Action a = chosen_action();
    const auto held_by = keys_.holder_of(key, a);
    if (!held_by)
        return cancel();
    const Action holder = *held_by;
    BoundKey& mine = keys_.of(a)[std::size_t(chosen_slot())];
    for (BoundKey& k : keys_.of(holder)) {
        if (k == key || (key.scan != 0 && k.scan == key.scan) ||
            (key.scan == 0 && k.scan == 0 && k.qt_key == key.qt_key))
            k = mine;
    }
    auto& theirs = keys_.of(holder);
    if (theirs[0].empty())
        std::swap(theirs[0], theirs[1]);
    if (theirs[0].empty()) {
        theirs[0] = key;  // it would be left without a key: nothing changes
        say(tr("«%1» осталось бы без клавиш.").arg(action_name(holder)));
        show_keys();
        return;
    }
    mine = key;
    show_keys();
    say(QString());
    table_->setFocus();
}

void KeysDialog::cancel() {
    pending_.reset();
    pending_button_.reset();
    waiting_ = false;
    show_keys();
    say(QString());
    table_->setFocus();
}

void KeysDialog::restore_defaults() {
    cancel();
    keys_ = KeyBindings::classic();
    pad_ = PadBindings::classic();
    show_keys();
}

void KeysDialog::show_keys() {
    for (int i = 0; i < kActions; ++i) {
        const auto& keys = keys_.keys[std::size_t(i)];
        const QString texts[] = {action_name(Action(i)), key_name(keys[0]), key_name(keys[1]),
                                 pad_name(pad_.of(Action(i)))};
        for (int c = 0; c < 4; ++c) {
            QTableWidgetItem* item = table_->item(i, c);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                table_->setItem(i, c, item);
            }
            item->setText(texts[c]);
        }
    }
    table_->resizeColumnToContents(1);
    table_->resizeColumnToContents(2);
    table_->resizeColumnToContents(3);
    const bool free = !asking();
    // The question is about the chosen key: no other is chosen until it is answered.
    table_->setEnabled(free);
    change_->setEnabled(free);
    remove_->setEnabled(free);
    defaults_->setEnabled(free);
    swap_->setVisible(!free);
    cancel_->setVisible(!free);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(free);
}

void KeysDialog::say(const QString& text) {
    hint_->setText(text);
}

void KeysDialog::pad_pressed(int button) {
    if (!isActiveWindow())
        return;
    if (waiting_) {
        if (pad_column() && button < pad::Buttons) {
            waiting_ = false;
            take_button(button);
        } else if (!pad_column() && button == pad::B) {
            waiting_ = false;  // the key is not changed after all
            say(QString());
        }
        return;
    }
    switch (button) {
        case pad::Up:
            return send_key(Qt::Key_Up);
        case pad::Down:
            return send_key(Qt::Key_Down);
        case pad::Left:
        case pad::StickLeft:
            return send_key(Qt::Key_Left);
        case pad::Right:
        case pad::StickRight:
            return send_key(Qt::Key_Right);
        case pad::A:
            // A button takes Space, the table Enter.
            return send_key(qobject_cast<QAbstractButton*>(QApplication::focusWidget()) != nullptr
                                ? Qt::Key_Space
                                : Qt::Key_Return);
        case pad::B:
            if (asking())
                return cancel();
            return reject();
        case pad::LeftShoulder:
        case pad::RightShoulder:
            focusNextPrevChild(button == pad::RightShoulder);
            return;
        case pad::Start:
            if (!asking())
                accept();
            return;
        default:
            return;
    }
}

void KeysDialog::send_key(int key) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus != nullptr && focus->window() == this ? focus : this;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

void KeysDialog::show_pad_help(bool shown) {
    pad_help_->setVisible(shown);
}

QString KeysDialog::pad_name(int button) {
    switch (button) {
        case pad::None:
            return QString();
        case pad::LeftShoulder:
            return QStringLiteral("LB");
        case pad::RightShoulder:
            return QStringLiteral("RB");
        case pad::LeftTrigger:
            return QStringLiteral("LT");
        case pad::RightTrigger:
            return QStringLiteral("RT");
        case pad::Up:
            return tr("Крестовина ↑");
        case pad::Down:
            return tr("Крестовина ↓");
        case pad::Left:
            return tr("Крестовина ←");
        case pad::Right:
            return tr("Крестовина →");
        case pad::LeftStick:
            return tr("Левый стик (нажатие)");
        case pad::RightStick:
            return tr("Правый стик (нажатие)");
        case pad::Touchpad:
            return tr("Сенсорная панель");
        default:
            break;
    }
    // A, B, X, Y, Back, Guide, Start, Misc1, Paddle1...: as SDL names them.
    QString name = pad_text(button);
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name.size() == 1 ? name.toUpper() : name;
}

QString KeysDialog::key_name(const BoundKey& key) {
    if (key.empty())
        return QString();
    const QString name =
        key.qt_key > 0 ? QKeySequence(key.qt_key).toString(QKeySequence::NativeText) : QString();
    if (key.scan == 0)
        return name;
    // The place, with the letter the layout gave it when it was chosen.
    return name.isEmpty() ? tr("клавиша №%1").arg(key.scan) : tr("%1 (по месту)").arg(name);
}

QString KeysDialog::action_name(Action a) {
    switch (a) {
        case Action::WalkLeft:
            return tr("Идти влево");
        case Action::WalkRight:
            return tr("Идти вправо");
        case Action::Gun:
            return tr("Поднять или опустить пушку");
        case Action::Jet:
            return tr("Реактивный ранец");
        case Action::Fire:
            return tr("Огонь");
        case Action::BuyRate:
            return tr("Магазин: скорострельность");
        case Action::BuyBlast:
            return tr("Магазин: размер взрыва");
        case Action::BuyFuel:
            return tr("Магазин: топливо");
        case Action::LeaveShop:
            return tr("Выйти из магазина");
        case Action::Help:
            return tr("Помощь");
        case Action::NewGame:
            return tr("Новая игра");
        case Action::Pause:
            return tr("Пауза");
        case Action::FullScreen:
            return tr("Полный экран");
    }
    return QString();
}

QString KeysDialog::summary(const KeyBindings& keys) {
    QString text = tr("Ваши клавиши:");
    for (int i = 0; i < kActions; ++i) {
        const auto& k = keys.keys[std::size_t(i)];
        QString names = key_name(k[0]);
        if (!k[1].empty())
            names += QStringLiteral(", ") + key_name(k[1]);
        text += QStringLiteral("\r\n") + action_name(Action(i)) + QStringLiteral(" — ") + names;
    }
    return text;
}

void KeysDialog::retranslate() {
    setWindowTitle(tr("Клавиши"));
    table_->setHorizontalHeaderLabels(
        {tr("Действие"), tr("Клавиша"), tr("Вторая клавиша"), tr("Кнопка пульта")});
    by_place_->setText(tr("Новая клавиша — по месту на клавиатуре, а не по букве"));
    pad_help_->setText(
        tr("Пульт: крестовина — выбор, A — изменить, B — назад, LB и RB — к "
           "кнопкам окна, Start — ОК."));
    change_->setText(tr("Изменить…"));
    remove_->setText(tr("Убрать"));
    swap_->setText(tr("Поменять"));
    cancel_->setText(tr("Не менять"));
    defaults_->setText(tr("По умолчанию"));
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("ОК"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    show_keys();
}

void KeysDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

}  // namespace grimbolt
