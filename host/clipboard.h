#pragma once

#include <Huvolo/hostexport.h>

#include <QString>

namespace huvolo {

// The system clipboard as the host offers it: emptied, or given plain text.
// Both raise "Can't open Clipboard" when there is no clipboard to use.
class HUVOLO_HOST_EXPORT Clipboard
{
public:
    static void Clear();
    static void SetText(const QString &Text);
};

} // namespace huvolo
