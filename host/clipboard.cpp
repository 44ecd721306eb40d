#include "clipboard.h"

#include <Huvolo/hosterror.h>

#include <QClipboard>
#include <QGuiApplication>

namespace huvolo {

namespace {

QClipboard *systemClipboard()
{
    QClipboard *clipboard = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                                ? QGuiApplication::clipboard() : nullptr;
    if (!clipboard)
        throw HostError(HostError::ClipboardUnavailable);
    return clipboard;
}

} // namespace

void Clipboard::Clear()
{
    systemClipboard()->clear(QClipboard::Clipboard);
}

void Clipboard::SetText(const QString &Text)
{
    systemClipboard()->setText(Text, QClipboard::Clipboard);
}

} // namespace huvolo
