#pragma once
// Start-up of the program: command line, fonts, the main window and its login.
#include <QString>
#include <QStringList>

class QApplication;

namespace vendra {

struct CommandLine {
    QString server;     // from --server URL or --server=URL; empty when not given
    QString caFile;     // from --ca-file FILE or --ca-file=FILE; empty when not given
    QStringList words;  // the remaining words: orderer ID, receiver ID
    bool valid = true;
    QString error;
};

// `args` without the program name.
CommandLine ParseCommandLine(const QStringList& args);

// The whole run: returns the process exit code.
int RunClient(QApplication& app);

}  // namespace vendra
