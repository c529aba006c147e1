<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>Game</name>
    <message>
        <source>Очки: </source>
        <translation>Score: </translation>
    </message>
    <message>
        <source>Топливо: </source>
        <translation>Fuel: </translation>
    </message>
    <message>
        <source>Вы погибли в честном, но неравном бою...</source>
        <translation>You died in a fair but unequal fight...</translation>
    </message>
    <message>
        <source>Вы набрали %1 очков, и вас пустили в магазин: </source>
        <translation>You have%1points and may enter the shop: </translation>
    </message>
    <message>
        <source>1. %1 - увеличение скорострельности.</source>
        <translation>1.%1- a faster rate of fire.</translation>
    </message>
    <message>
        <source>2. %1 - увеличение размера взрыва от ваших пуль.</source>
        <translation>2.%1- a bigger blast from your bullets.</translation>
    </message>
    <message>
        <source>3. %1 - топливо.</source>
        <translation>3.%1- fuel.</translation>
    </message>
    <message>
        <source>Esc - вернуться в игру (когда всё купили).</source>
        <translation>Esc - back to the game (when you have bought all).</translation>
    </message>
</context>
<context>
    <name>grimbolt::Avtor</name>
    <message>
        <source>О создателе</source>
        <translation>About the author</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Эта программа создана её автором в 2004 году.</source>
        <translation>This program was created by its author in 2004.</translation>
    </message>
</context>
<context>
    <name>grimbolt::HallMenu</name>
    <message>
        <source>Рекорды…</source>
        <translation>Hall of fame…</translation>
    </message>
    <message>
        <source>Запись игры</source>
        <translation>Recorded game</translation>
    </message>
    <message>
        <source>%1 не показать: %2</source>
        <translation>Cannot show %1: %2</translation>
    </message>
    <message>
        <source>не доказана: %1</source>
        <translation>not proven: %1</translation>
    </message>
</context>
<context>
    <name>grimbolt::HallWindow</name>
    <message>
        <source>не доказан: %1</source>
        <translation>unproven: %1</translation>
    </message>
    <message>
        <source>Рекорды</source>
        <translation>Hall of fame</translation>
    </message>
    <message>
        <source>Место</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>Очки</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Проверка</source>
        <translation>Proof</translation>
    </message>
    <message>
        <source>Смотреть</source>
        <translation>Watch</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>записан до строгих доказательств</source>
        <translation>recorded before proofs were strict</translation>
    </message>
    <message>
        <source>Категория</source>
        <translation>Category</translation>
    </message>
    <message>
        <source>классика</source>
        <translation>classic</translation>
    </message>
    <message>
        <source>медленно</source>
        <translation>slow</translation>
    </message>
    <message>
        <source>безопасный старт</source>
        <translation>safe start</translation>
    </message>
    <message>
        <source>проверяется…</source>
        <translation>checking…</translation>
    </message>
    <message>
        <source>✓ доказано</source>
        <translation>✓ proven</translation>
    </message>
    <message>
        <source>честный старт</source>
        <translation>fair start</translation>
    </message>
    <message>
        <source>ru_RU</source>
        <comment>the locale whose form dates take</comment>
        <translation>en_GB</translation>
    </message>
    <message>
        <source>Осталось</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Длина</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>ждёт отправки</source>
        <translation>waiting to be sent</translation>
    </message>
    <message>
        <source>место %1</source>
        <translation>rank %1</translation>
    </message>
    <message>
        <source>отказ: %1</source>
        <translation>refused: %1</translation>
    </message>
    <message>
        <source>не отправлен</source>
        <translation>not sent</translation>
    </message>
    <message>
        <source>Войдите на сервер на странице «Мир»</source>
        <translation>Join a server on the World page</translation>
    </message>
    <message>
        <source>Мир</source>
        <translation>World</translation>
    </message>
    <message>
        <source>Отправить</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Мои</source>
        <translation>Mine</translation>
    </message>
</context>
<context>
    <name>grimbolt::Helpfrm</name>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Grimbolt (гримболт). Управление: стрелки вправо, влево; взлёт - &quot;X&quot;; поднять оружие (запрет на стрельбу) - &quot;Z&quot;; стрелять - &quot;Shift&quot;. Вы должны уничтожить монстров. После набора определённого количества очков вас пустят в магазин. Для того, чтобы попасть в магазин в следующий раз нужно набрать в два раза больше очков. Цены тоже увеличатся в два раза. Совет: не забывайте покупать топливо!!!</source>
        <translation>Grimbolt. Controls: the Right and Left arrows; take off - &quot;X&quot;; raise the gun (no firing) - &quot;Z&quot;; fire - &quot;Shift&quot;. You must destroy the monsters. Once you have scored enough points, you are let into the shop. To get into the shop the next time, you need twice as many points. The prices double too. Tip: do not forget to buy fuel!!!</translation>
    </message>
</context>
<context>
    <name>grimbolt::KeysDialog</name>
    <message>
        <source>Нажмите новую клавишу для «%1» (Esc — оставить как было)</source>
        <translation>Press the new key for “%1” (Esc keeps the old one)</translation>
    </message>
    <message>
        <source>У действия должна остаться хотя бы одна клавиша.</source>
        <translation>An action must keep at least one key.</translation>
    </message>
    <message>
        <source>«%1» уже у действия «%2». Поменять их клавиши?</source>
        <translation>“%1” is taken by “%2”. Swap their keys?</translation>
    </message>
    <message>
        <source>«%1» осталось бы без клавиш.</source>
        <translation>“%1” would be left without a key.</translation>
    </message>
    <message>
        <source>клавиша №%1</source>
        <translation>key #%1</translation>
    </message>
    <message>
        <source>%1 (по месту)</source>
        <translation>%1 (by place)</translation>
    </message>
    <message>
        <source>Идти влево</source>
        <translation>Walk left</translation>
    </message>
    <message>
        <source>Идти вправо</source>
        <translation>Walk right</translation>
    </message>
    <message>
        <source>Поднять или опустить пушку</source>
        <translation>Raise or lower the gun</translation>
    </message>
    <message>
        <source>Реактивный ранец</source>
        <translation>Jet</translation>
    </message>
    <message>
        <source>Огонь</source>
        <translation>Fire</translation>
    </message>
    <message>
        <source>Магазин: скорострельность</source>
        <translation>Shop: rate of fire</translation>
    </message>
    <message>
        <source>Магазин: размер взрыва</source>
        <translation>Shop: explosion size</translation>
    </message>
    <message>
        <source>Магазин: топливо</source>
        <translation>Shop: fuel</translation>
    </message>
    <message>
        <source>Выйти из магазина</source>
        <translation>Leave the shop</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Новая игра</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Полный экран</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>Клавиши</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source>Действие</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>Клавиша</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>Вторая клавиша</source>
        <translation>Second key</translation>
    </message>
    <message>
        <source>Новая клавиша — по месту на клавиатуре, а не по букве</source>
        <translation>New key by its place on the keyboard, not by its letter</translation>
    </message>
    <message>
        <source>Изменить…</source>
        <translation>Change…</translation>
    </message>
    <message>
        <source>Убрать</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Поменять</source>
        <translation>Swap</translation>
    </message>
    <message>
        <source>Не менять</source>
        <translation>Keep</translation>
    </message>
    <message>
        <source>По умолчанию</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Ваши клавиши:</source>
        <translation>Your keys:</translation>
    </message>
    <message>
        <source>«%1» нельзя назначить: выберите другую клавишу.</source>
        <translation>“%1” cannot be bound: choose another key.</translation>
    </message>
    <message>
        <source>Нажмите кнопку пульта для «%1» (Esc или та же кнопка — оставить как было)</source>
        <translation>Press a pad button for “%1” (Esc or the same button keeps the old one)</translation>
    </message>
    <message>
        <source>«%1» уже у действия «%2». Поменять их кнопки?</source>
        <translation>“%1” is taken by “%2”. Swap their buttons?</translation>
    </message>
    <message>
        <source>Крестовина ↑</source>
        <translation>D-pad ↑</translation>
    </message>
    <message>
        <source>Крестовина ↓</source>
        <translation>D-pad ↓</translation>
    </message>
    <message>
        <source>Крестовина ←</source>
        <translation>D-pad ←</translation>
    </message>
    <message>
        <source>Крестовина →</source>
        <translation>D-pad →</translation>
    </message>
    <message>
        <source>Левый стик (нажатие)</source>
        <translation>Left stick (press)</translation>
    </message>
    <message>
        <source>Правый стик (нажатие)</source>
        <translation>Right stick (press)</translation>
    </message>
    <message>
        <source>Сенсорная панель</source>
        <translation>Touchpad</translation>
    </message>
    <message>
        <source>Кнопка пульта</source>
        <translation>Pad button</translation>
    </message>
    <message>
        <source>Пульт: крестовина — выбор, A — изменить, B — назад, LB и RB — к кнопкам окна, Start — ОК.</source>
        <translation>Pad: D-pad to choose, A to change, B to go back, LB and RB to the window’s buttons, Start for OK.</translation>
    </message>
</context>
<context>
    <name>grimbolt::Mainfrm</name>
    <message>
        <source>Игра</source>
        <translation>Game</translation>
    </message>
    <message>
        <source>Начать новую игру</source>
        <translation>Start a new game</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Музыка вкл/выкл</source>
        <translation>Music on/off</translation>
    </message>
    <message>
        <source>Скорость игры</source>
        <translation>Game speed</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Как играть...</source>
        <translation>How to play...</translation>
    </message>
    <message>
        <source>Автор</source>
        <translation>Author</translation>
    </message>
    <message>
        <source>Полный экран</source>
        <translation>Full screen</translation>
    </message>
</context>
<context>
    <name>grimbolt::OptionsDialog</name>
    <message>
        <source>Безопасный старт: монстры появляются, когда робот встал на плитки (со следующей игры)</source>
        <translation>Safe start: monsters come once the robot stands on the tiles (from the next game)</translation>
    </message>
    <message>
        <source>Запоминать скорость игры</source>
        <translation>Remember the game speed</translation>
    </message>
    <message>
        <source>Запоминать полный экран</source>
        <translation>Remember full screen</translation>
    </message>
    <message>
        <source>Показывать знак паузы</source>
        <translation>Show the pause sign</translation>
    </message>
    <message>
        <source>Показывать итоги игры</source>
        <translation>Show the summary of a game</translation>
    </message>
    <message>
        <source>Язык / Language:</source>
        <translation>Язык / Language:</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>Честный старт: робот стоит на плитках посередине, монстры ждут три секунды (со следующей игры)</source>
        <translation>Fair start: the robot stands on the tiles in the middle, the monsters wait three seconds (from the next game)</translation>
    </message>
    <message>
        <source>Отправлять рекорды сами</source>
        <translation>Send my records automatically</translation>
    </message>
    <message>
        <source>Каждая игра, вошедшая в рекорды, отправляется на сервер мировых рекордов, выбранный на странице «Мир» окна «Рекорды…»</source>
        <translation>Every game that enters the hall of fame is sent to the world hall of fame server chosen on the World page of the “Hall of fame…” window</translation>
    </message>
</context>
<context>
    <name>grimbolt::OptionsMenu</name>
    <message>
        <source>Параметры</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>Параметры…</source>
        <translation>Preferences…</translation>
    </message>
    <message>
        <source>Звук</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>Клавиши…</source>
        <translation>Keys…</translation>
    </message>
</context>
<context>
    <name>grimbolt::Overlay</name>
    <message>
        <source>ПАУЗА</source>
        <translation>PAUSE</translation>
    </message>
    <message>
        <source>Очки: %1</source>
        <translation>Score: %1</translation>
    </message>
    <message>
        <source>Рекорд: %1</source>
        <translation>Best: %1</translation>
    </message>
    <message>
        <source>F2 — новая игра</source>
        <translation>F2 — new game</translation>
    </message>
    <message>
        <source>Запись: любая клавиша — новая игра</source>
        <translation>Recording: any key — new game</translation>
    </message>
</context>
<context>
    <name>grimbolt::SpeedDialog</name>
    <message>
        <source>Ок</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Выберите скорость</source>
        <translation>Choose the speed</translation>
    </message>
</context>
<context>
    <name>grimbolt::WorldClient</name>
    <message>
        <source>не сервер Grimbolt</source>
        <translation>not a Grimbolt server</translation>
    </message>
    <message>
        <source>сервер не задан</source>
        <translation>no server set</translation>
    </message>
    <message>
        <source>сервер не ответил вовремя</source>
        <translation>the server did not answer in time</translation>
    </message>
    <message>
        <source>сервер не отвечает</source>
        <translation>the server does not answer</translation>
    </message>
    <message>
        <source>сервер отсылает в другое место</source>
        <translation>the server sends us elsewhere</translation>
    </message>
    <message>
        <source>сервер занят (%1), позже</source>
        <translation>the server is busy (%1); later</translation>
    </message>
</context>
<context>
    <name>grimbolt::WorldLink</name>
    <message>
        <source>это не адрес сервера</source>
        <translation>that is not a server address</translation>
    </message>
    <message>
        <source>впишите имя</source>
        <translation>enter a name</translation>
    </message>
    <message>
        <source>это имя уже занято на сервере</source>
        <translation>that name is taken on this server</translation>
    </message>
    <message>
        <source>игру не записать в папку отправки %1</source>
        <translation>cannot write the game into the outbox %1</translation>
    </message>
</context>
<context>
    <name>grimbolt::WorldPage</name>
    <message>
        <source>вход…</source>
        <translation>joining…</translation>
    </message>
    <message>
        <source>Вы — %1 на %2</source>
        <translation>You are %1 on %2</translation>
    </message>
    <message>
        <source>Впишите адрес сервера мировых рекордов и имя, чтобы войти.</source>
        <translation>Enter the address of a world hall of fame server and a name to join.</translation>
    </message>
    <message>
        <source>загружается…</source>
        <translation>loading…</translation>
    </message>
    <message>
        <source>проверяется…</source>
        <translation>checking…</translation>
    </message>
    <message>
        <source>не доказана: %1</source>
        <translation>not proven: %1</translation>
    </message>
    <message>
        <source>Сменить…</source>
        <translation>Change…</translation>
    </message>
    <message>
        <source>Сервер:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Имя:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Войти</source>
        <translation>Join</translation>
    </message>
    <message>
        <source>Место</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>Игрок</source>
        <translation>Player</translation>
    </message>
    <message>
        <source>Очки</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>Осталось</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Длина</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Смотреть</source>
        <translation>Watch</translation>
    </message>
</context>
<context>
    <name>grimbolt::WorldPost</name>
    <message>
        <source>не записать ответ сервера</source>
        <translation>could not write down the server&apos;s answer</translation>
    </message>
</context>
</TS>
