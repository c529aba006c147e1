#include "shell/avtor.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "shell/twips.h"

namespace grimbolt {
Avtor::Avtor(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/assets/avtor.ico")));
    setFixedSize(px(5475), px(2550));

    command1_ = new QPushButton(this);
    command1_->setObjectName(QStringLiteral("Command1"));
    place(command1_, 3000, 1200, 2415, 1215);
    connect(command1_, &QPushButton::clicked, this, &Avtor::Command1_Click);

    // The picture keeps its own size; the box cuts off what lies beyond its edges.
    picture1_ = new QLabel(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture1_->setPixmap(QPixmap(QStringLiteral(":/assets/avtor_Picture1.bmp")));
    place(picture1_, 120, 120, 2655, 2295);

    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label1_, 3000, 120, 2295, 975);
    retranslate();
}

void Avtor::retranslate() {
    setWindowTitle(tr("О создателе"));
    command1_->setText(tr("ОК"));
    label1_->setText(tr("Эта программа создана её автором в 2004 году."));
}

void Avtor::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void Avtor::Command1_Click() {
    close();  // and, closed, it is destroyed
}

}  // namespace grimbolt
