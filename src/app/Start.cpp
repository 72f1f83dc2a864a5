#include "app/Start.h"

#include "app/PCSteuerung.h"
#include "gestaltung/Bilder.h"
#include "link/MsTimer.h"
#include "model/Globale.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

Begruessungsbildschirm::Begruessungsbildschirm()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Begrüßungsbildschirm"));
    // No title: Qt would show the application name where the title is empty.
    setWindowTitle(QStringLiteral(" "));
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::white));
    auto *spalte = new QVBoxLayout(this);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(Firmenbild());
    Picture1->setAlignment(Qt::AlignCenter);
    Label1 = new QLabel(QStringLiteral("Zelkor-Schrittmotorsteuerung"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titel(QStringLiteral("Arial"), 14, QFont::Bold);
    Label1->setFont(titel);
    Label1->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128)"));
    Label3 =
        new QLabel(QStringLiteral("Version %1").arg(QCoreApplication::applicationVersion()), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);
    spalte->addWidget(Picture1);
    spalte->addWidget(Label1);
    spalte->addWidget(Label3);
    adjustSize();
    if (QScreen *bildschirm = screen())
        move(bildschirm->availableGeometry().center() - rect().center());
}

PCSteuerung *ProgrammStarten(double splashSekunden) {
    StartAbgeschlossen = false;
    Begruessungsbildschirm splash;
    splash.show();
    const double splashEnde = MsTimer::Uhr() + splashSekunden;
    // Built while the splash stands, shown and loaded after it, as before.
    auto *fenster = new PCSteuerung;
    MsTimer::WartenBis(splashEnde);
    fenster->show();
    fenster->Laden();
    splash.close();
    return fenster;
}
