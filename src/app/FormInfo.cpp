#include "app/FormInfo.h"

#include "app/PCSteuerung.h"
#include "gestaltung/Bilder.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

FormInfo::FormInfo(PCSteuerung &fenster) : QWidget(nullptr, Qt::Dialog), m_fenster(fenster) {
    setObjectName(QStringLiteral("FormInfo"));
    // No title: Qt would show the application name where the title is empty.
    setWindowTitle(QStringLiteral(" "));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));

    auto *spalte = new QVBoxLayout(this);
    auto *bild = new QLabel(this);
    bild->setObjectName(QStringLiteral("Picture1"));
    bild->setPixmap(Firmenbild());
    bild->setAlignment(Qt::AlignCenter);
    spalte->addWidget(bild);

    auto *anschrift = new QLabel(QStringLiteral("Anschrift:"), this);
    anschrift->setObjectName(QStringLiteral("LabelAdresse"));
    QFont fett = anschrift->font();
    fett.setBold(true);
    anschrift->setFont(fett);
    spalte->addWidget(anschrift);

    const QStringList kontakt{
        QStringLiteral("Orbalt-Werk Antriebstechnik GmbH"),
        QStringLiteral("Am Kiesgrund 7"),
        QStringLiteral("86551 Ebersried"),
        QStringLiteral("Telefon: 08251 4470-0"),
        QStringLiteral("Telefax: 08251 4470-19"),
        QStringLiteral("E-Mail: service@orbalt-werk.de"),
        QStringLiteral("E-Mail: vertrieb@orbalt-werk.de"),
        QStringLiteral("Internet: www.orbalt-werk.de"),
    };
    for (int i = 0; i < kontakt.size(); ++i) {
        auto *zeile = new QLabel(kontakt[i], this);
        zeile->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        zeile->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128)"));
        spalte->addWidget(zeile);
    }

    spalte->addSpacing(12);
    CommandOK = new QPushButton(QStringLiteral("Zurück"), this);
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    CommandOK->setDefault(true);
    spalte->addWidget(CommandOK);
    connect(CommandOK, &QPushButton::clicked, this, &QWidget::close);

    adjustSize();
    if (QScreen *bildschirm = screen())
        move(bildschirm->availableGeometry().center() - rect().center());
}

void FormInfo::closeEvent(QCloseEvent *event) {
    // "Zurück" and the close box both lead back to the main window.
    m_fenster.DialogGeschlossen();
    event->accept();
}
