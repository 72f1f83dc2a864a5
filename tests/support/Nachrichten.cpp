#include "Nachrichten.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

Nachrichtenfaenger::Nachrichtenfaenger() {
    connect(&m_timer, &QTimer::timeout, this, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (box->property("beantwortet").toBool())
            return;
        if (!box->button(QMessageBox::Ok)) {
            for (QAbstractButton *knopf : box->buttons()) {
                if (knopf->text() == m_antwort) {
                    // Clicked from the event loop: what the answer brings up is answered too.
                    m_fragen.append({box->windowTitle(), box->text()});
                    box->setProperty("beantwortet", true);
                    QMetaObject::invokeMethod(knopf, "click", Qt::QueuedConnection);
                    return;
                }
            }
        }
        m_nachrichten.append({box->windowTitle(), box->text()});
        box->done(QMessageBox::Ok);
    });
    m_timer.start(5);
}

Dateidialogantwort::Dateidialogantwort(const QString &pfad) {
    connect(&m_timer, &QTimer::timeout, this, [this, pfad] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (m_beantwortet || !dialog || !dialog->isVisible())
            return;
        m_beantwortet = true;
        if (pfad.isEmpty()) {
            dialog->reject();
            return;
        }
        // As an operator does it: the folder, then the name typed into the name field.
        const QFileInfo ziel(pfad);
        dialog->setDirectory(ziel.absolutePath());
        // The dialog is reused: a file still selected from last time would win over the typed
        // name unless the name field had the focus, as it has under an operator's hands.
        if (auto *liste = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView")))
            liste->selectionModel()->clear();
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(ziel.fileName());
        QMetaObject::invokeMethod(dialog, "accept");
    });
    m_timer.start(5);
}
