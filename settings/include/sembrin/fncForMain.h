#pragma once
#include <QString>

namespace sembrin {

class fncForMain {
public:
    // Reads a settings file of key=value lines (code page 949) into the process-wide settings.
    // False when the file does not exist; a file that exists but cannot be read raises error 75.
    bool LoadIni(QString PathName, QString FileName) const;
};

}  // namespace sembrin
