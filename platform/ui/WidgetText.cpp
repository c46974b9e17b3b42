// The text a widget shows, for windows, dialogs and the automation hook alike.

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "Wnd.h"

void WoxSetWidgetText(QWidget* pWidget, const char* pszText)
{
    const QString text = QString::fromUtf8(pszText ? pszText : "");
    if (auto* p = qobject_cast<QLineEdit*>(pWidget))
        p->setText(text);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(pWidget))
        p->setPlainText(text);
    else if (auto* p = qobject_cast<QLabel*>(pWidget))
        p->setText(text);
    else if (auto* p = qobject_cast<QAbstractButton*>(pWidget))
        p->setText(text);
    else if (auto* p = qobject_cast<QGroupBox*>(pWidget))
        p->setTitle(text);
    else if (auto* p = qobject_cast<QComboBox*>(pWidget))
    {
        if (p->isEditable())
            p->setEditText(text);
        else
            p->setCurrentIndex(p->findText(text));
    }
    else
        pWidget->setWindowTitle(text);
}

std::string WoxGetWidgetText(QWidget* pWidget)
{
    QString text;
    if (auto* p = qobject_cast<QLineEdit*>(pWidget))
        text = p->text();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(pWidget))
        text = p->toPlainText();
    else if (auto* p = qobject_cast<QLabel*>(pWidget))
        text = p->text();
    else if (auto* p = qobject_cast<QAbstractButton*>(pWidget))
        text = p->text();
    else if (auto* p = qobject_cast<QGroupBox*>(pWidget))
        text = p->title();
    else if (auto* p = qobject_cast<QComboBox*>(pWidget))
        text = p->currentText();
    else
        text = pWidget->windowTitle();
    return text.toStdString();
}
