#pragma once

#include <Huvolo/hostexport.h>

#include <QApplication>

#include <memory>

namespace huvolo {

// Creates the application object of the program `program` (its name in
// messages). Qt's own options such as -platform are honoured. When no
// display can be opened the toolkit would abort with a core dump; instead
// one line naming the platforms and displays tried goes to stderr and the
// process ends with status 2.
HUVOLO_HOST_EXPORT std::unique_ptr<QApplication> openApplication(int &argc, char **argv, const char *program);
// The same for a program without widgets.
HUVOLO_HOST_EXPORT std::unique_ptr<QGuiApplication> openGuiApplication(int &argc, char **argv, const char *program);

// The one line for a display that could not be opened, from what the toolkit
// reported while it tried (its messages, in order) and the environment.
HUVOLO_HOST_EXPORT QString displayFailure(const QStringList &messages, const QString &displayVariable, const QString &waylandVariable);

} // namespace huvolo
