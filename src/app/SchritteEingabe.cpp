#include "app/SchritteEingabe.h"

#include "model/NamesData.h"

#include <QLineEdit>

QValidator::State SchritteValidator::validate(QString &text, int &) const {
    switch (NamesData::PruefeEingabe(text, locale())) {
    case NamesData::Eingabe::Gueltig:
        return Acceptable;
    case NamesData::Eingabe::Unfertig:
        return Intermediate;
    case NamesData::Eingabe::Ungueltig:
        break;
    }
    return Invalid;
}

QWidget *SchritteEingabe::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                       const QModelIndex &index) const {
    if (!(index.flags() & Qt::ItemIsEditable))
        return nullptr;
    auto *editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("SchritteEditor"));
    editor->setFrame(false);
    editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    editor->setValidator(new SchritteValidator(editor));
    return editor;
}
