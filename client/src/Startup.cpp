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
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--server")) {
            if (i + 1 >= args.size()) {
                c.valid = false;
                c.error = QStringLiteral("--server 다음에 서버 주소가 필요합니다.");
                return c;
            }
            c.server = args.at(++i);
        } else if (a.startsWith(QLatin1String("--server="))) {
            c.server = a.mid(9);
        } else {
            rest << a;
        }
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
        std::fprintf(stderr, "vendra: %s\nusage: vendra [--server URL] [orderer-ID [receiver-ID]]\n",
                     cl.error.toLocal8Bit().constData());
        return 2;
    }
    ServerLink server(ServerLink::chooseBaseUrl(cl.server));
    frmMain main(server, cl.words);
    if (!main.Load()) return 1;
    main.show();
    main.ShowNotices();
    return app.exec();
}

}  // namespace vendra
