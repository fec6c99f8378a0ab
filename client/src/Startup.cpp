#include "vendra/Startup.h"

#include "vendra/ButtonKeys.h"
#include "vendra/Messages.h"
#include "vendra/ServerLink.h"
#include "vendra/frmMain.h"

#include "ostrel/fncString.h"
#include "tessel/Fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace vendra {

CommandLine ParseCommandLine(const QStringList& args) {
    CommandLine c;
    QStringList rest;
    // Options that take a value: "--name VALUE" or "--name=VALUE".
    const struct {
        QLatin1String name;
        QString CommandLine::*value;
        const char* missing;
    } options[] = {
        {QLatin1String("--server"), &CommandLine::server, "--server 다음에 서버 주소가 필요합니다."},
        {QLatin1String("--ca-file"), &CommandLine::caFile, "--ca-file 다음에 인증서 파일이 필요합니다."},
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        bool taken = false;
        for (const auto& o : options) {
            if (a == o.name) {
                if (i + 1 >= args.size()) {
                    c.valid = false;
                    c.error = QString::fromUtf8(o.missing);
                    return c;
                }
                c.*o.value = args.at(++i);
                taken = true;
            } else if (a.startsWith(o.name + QLatin1Char('='))) {
                c.*o.value = a.mid(o.name.size() + 1);
                taken = true;
            }
        }
        if (!taken) rest << a;
    }
    const ostrel::Variant w = ostrel::fncString().SplitBySpace(rest.join(QLatin1Char(' ')));
    for (const ostrel::Variant& v : w.toArray().items) c.words << v.toString();
    return c;
}

int RunClient(QApplication& app) {
    tessel::registerFontSubstitutions();
    app.setApplicationName(AppTitle());
    app.setFont(QFont(QStringLiteral("굴림"), 10));
    // Qt's own dialogs (file names, message box buttons) speak Korean like the rest of the client.
    QTranslator qtKorean;
    if (qtKorean.load(QLocale(QLocale::Korean), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtKorean);
    EnterPressesButtons enterPressesButtons;
    app.installEventFilter(&enterPressesButtons);

    const CommandLine cl = ParseCommandLine(app.arguments().mid(1));
    if (!cl.valid) {
        std::fprintf(stderr, "vendra: %s\nusage: vendra [--server URL] [--ca-file FILE] [orderer-ID [receiver-ID]]\n",
                     cl.error.toLocal8Bit().constData());
        return 2;
    }
    ServerLink server(ServerLink::chooseBaseUrl(cl.server));
    server.web().setCaFile(ServerLink::chooseCaFile(cl.caFile));
    frmMain main(server, cl.words);
    if (!main.Load()) return 1;
    main.show();
    main.ShowNotices();
    return app.exec();
}

}  // namespace vendra
