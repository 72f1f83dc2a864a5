// Every text of every window fits the room its control has: labels, buttons, options, check
// boxes and frame captions, measured in the font the control asks for (Arial, which the
// installed Liberation Sans stands in for with Arial's widths). CTest runs this at the normal
// scale and at 150 %.
#include "PtyPaar.h"

#include "app/PCSteuerung.h"
#include "app/Start.h"
#include "model/Globale.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOption>
#include <QTest>

namespace {

// One line per control whose text does not fit: "window.name „text“: braucht WxH, hat WxH".
QStringList Abgeschnitten(QWidget *fenster) {
    QStringList befund;
    const auto masse = [](QSize s) { return QString("%1x%2").arg(s.width()).arg(s.height()); };
    for (QWidget *w : fenster->findChildren<QWidget *>()) {
        QString text;
        QRect raum;
        if (!w->isVisibleTo(fenster))
            continue;
        if (auto *l = qobject_cast<QLabel *>(w)) {
            text = l->text();
            raum = l->contentsRect().adjusted(qMax(l->indent(), 0), 0, 0, 0);
        } else if (auto *k = qobject_cast<QAbstractButton *>(w)) {
            QStyleOptionButton o;
            o.initFrom(k);
            o.text = text = k->text();
            const auto teil = qobject_cast<QRadioButton *>(k) ? QStyle::SE_RadioButtonContents
                              : qobject_cast<QCheckBox *>(k)  ? QStyle::SE_CheckBoxContents
                                                              : QStyle::SE_PushButtonContents;
            raum = k->style()->subElementRect(teil, &o, k);
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            QStyleOptionGroupBox o;
            o.initFrom(g);
            o.text = text = g->title();
            o.subControls = QStyle::SC_GroupBoxLabel;
            raum = g->style()
                       ->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, g)
                       .intersected(g->rect());
        }
        raum &= QRect(-w->mapTo(fenster, QPoint()), fenster->size()); // what the window shows
        text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        QSize noetig;
        if (auto *l = qobject_cast<QLabel *>(w); l && l->wordWrap())
            noetig =
                l->contentsRect().size() + QSize(0, l->heightForWidth(l->width()) - l->height());
        else
            for (const QString &zeile : text.split('\n'))
                noetig = {qMax(noetig.width(), w->fontMetrics().horizontalAdvance(zeile)),
                          noetig.height() + w->fontMetrics().height()};
        if (!text.isEmpty() && (noetig.width() > raum.width() || noetig.height() > raum.height()))
            befund << QStringLiteral("%1 „%2“: braucht %3, hat %4")
                          .arg(fenster->objectName() + "." + w->objectName(), text, masse(noetig),
                               masse(raum.size()));
    }
    return befund;
}

} // namespace

// Each window on a freshly loaded main window.
class TestTextbreite : public QObject {
    Q_OBJECT
private slots:
    void allesPasst() {
        QStringList befund;
        for (const QString fenster : {"Hauptfenster", "Begrüßungsbildschirm", "Info",
                                      "Schnittstelle", "Manuell", "Referenzfahrt", "Parameter"}) {
            PtyPaar pty; // in the port dialog, a list of devices too long for its first height:
            for (int n = 2; n <= 40 && fenster == QStringLiteral("Schnittstelle"); ++n)
                QFile(pty.verzeichnis() + QString("/COM%1").arg(n)).open(QIODevice::WriteOnly);
            StartAbgeschlossen = false;
            PCSteuerung hauptfenster;
            hauptfenster.show();
            hauptfenster.Laden();
            std::unique_ptr<Begruessungsbildschirm> splash;
            if (fenster == QStringLiteral("Begrüßungsbildschirm"))
                (splash = std::make_unique<Begruessungsbildschirm>())->show();
            else if (fenster != QStringLiteral("Hauptfenster"))
                hauptfenster.findChild<QAction *>(fenster)->trigger();
            QWidget *zeigen = splash ? splash.get()
                              : fenster == QStringLiteral("Hauptfenster")
                                  ? &hauptfenster
                                  : hauptfenster.offenerDialog();
            QVERIFY2(zeigen && QTest::qWaitForWindowExposed(zeigen), qPrintable(fenster));
            // ZELKOR_BILDER=dir keeps a picture of each window to look at.
            if (const QString bilder = qEnvironmentVariable("ZELKOR_BILDER"); !bilder.isEmpty())
                zeigen->grab().save(bilder + QLatin1Char('/') + fenster + QStringLiteral(".png"));
            befund << Abgeschnitten(zeigen);
            if (zeigen == hauptfenster.offenerDialog())
                zeigen->close();
        }
        QVERIFY2(befund.isEmpty(), qPrintable(befund.join('\n')));
    }
};

QTEST_MAIN(TestTextbreite)
#include "tst_textbreite.moc"
