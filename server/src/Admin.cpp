#include "Admin.h"

#include "Demo.h"
#include "PriceCsv.h"
#include "OpenStore.h"
#include "Serve.h"
#include "Wire.h"

#include <ostrel/RuntimeError.h>
#include <vendra/order/Vat.h>

#include <QFile>
#include <iostream>
#include <map>

namespace vendra::server {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const char* const kMainHelp =
    "usage: vendra-server [--db FILE|URL] COMMAND ...\n"
    "\n"
    "The order server and its administration. The store is an SQLite file (default\n"
    "vendra-server.db in the working directory), or a PostgreSQL database named by a URL\n"
    "postgresql://USER@HOST:PORT/DBNAME; its schema is created or brought up to date on first use.\n"
    "\n"
    "commands:\n"
    "  serve            answer the ordering protocol over HTTP\n"
    "  init             create the store (or bring its schema up to date)\n"
    "  demo             seed a demo receiver, two orderers and a produce catalogue (once)\n"
    "  receiver add     add a receiver\n"
    "  orderer add|passwd|grade   manage orderers\n"
    "  prices import    load a price list from a CSV file\n"
    "  notice set       post or clear a notice\n"
    "  orders list|accept|history list orders, accept one, show the versions of one\n"
    "  deliver          turn an accepted order into delivery lines\n"
    "\n"
    "Each command takes --help.\n";

const std::map<std::string, const char*> kHelp = {
    {"serve",
     "usage: vendra-server [--db FILE] serve [--listen HOST:PORT] [--host HOST] [--port PORT]\n"
     "                     [--version-text TEXT] [--login-notice TEXT] [--threads N] [--quiet]\n"
     "                     [--header-timeout S] [--request-timeout S] [--idle-timeout S] [--stop-timeout S]\n"
     "                     [--max-connections N] [--max-per-address N] [--max-body BYTES]\n"
     "                     [--db-connections N]\n"
     "Serves on 127.0.0.1:8080 unless told otherwise (port 0 picks a free port). The first line\n"
     "on standard output names the address. --version-text is the client version announced at\n"
     "login in caption form (default \"Vendra - 1310.29\"). Requests are logged to standard error\n"
     "one line each unless --quiet. Stops on SIGINT or SIGTERM, answering the requests in flight.\n"
     "Limits (seconds may have decimals): a request's header within 10 s of its first byte, the\n"
     "whole request within 30 s; keep-alive connections idle at most 60 s; 10000 connections, 64\n"
     "per client address (0: any number); bodies up to 1048576 bytes (413 beyond); 32 handler\n"
     "threads; 5 s for requests in flight at a stop. On PostgreSQL each server holds at most\n"
     "--db-connections connections (default: as many as handler threads, at most 16).\n"},
    {"init",
     "usage: vendra-server [--db FILE] init\nCreates the store file with its schema, or migrates an older one.\n"},
    {"demo",
     "usage: vendra-server [--db FILE] demo\n"
     "Seeds the demo data once: receiver greenfarm, orderers shop01 (grade A) and shop02 (grade B),\n"
     "about 40 products, notices, an accepted order and deliveries of the last two weeks.\n"
     "Running it again changes nothing. Prints the IDs and passwords.\n"},
    {"receiver", "usage: vendra-server [--db FILE] receiver add ID [NAME]\n"},
    {"orderer",
     "usage: vendra-server [--db FILE] orderer add RECEIVER ORDERER GRADE [--password P]\n"
     "       vendra-server [--db FILE] orderer passwd RECEIVER ORDERER [--password P]\n"
     "       vendra-server [--db FILE] orderer grade RECEIVER ORDERER GRADE\n"
     "Without --password the password is read as one line from standard input.\n"
     "orderer add creates the receiver when it does not exist.\n"},
    {"prices",
     "usage: vendra-server [--db FILE] prices import RECEIVER FILE.csv\n"
     "Lines: product name, unit, grade, unit price, VAT flag (\"+\" price without tax, \"/\" price\n"
     "with tax, empty tax-free); UTF-8 or code page 949; an optional header line. The whole file\n"
     "is loaded or, on any bad line, nothing.\n"},
    {"notice",
     "usage: vendra-server [--db FILE] notice set RECEIVER GRADE TEXT\n"
     "GRADE \"*\" is the notice for every grade. An empty TEXT removes the notice.\n"},
    {"orders",
     "usage: vendra-server [--db FILE] orders list [--receiver R] [--date YYYY-MM-DD]\n"
     "       vendra-server [--db FILE] orders accept RECEIVER ORDERER YYYY-MM-DD\n"
     "       vendra-server [--db FILE] orders history RECEIVER ORDERER YYYY-MM-DD\n"
     "An accepted order can no longer be changed by the orderer. history lists every version of\n"
     "the order, newest first: the current one, then each one an update replaced (when, by whom),\n"
     "each with its line count, total, message and lines.\n"},
    {"deliver",
     "usage: vendra-server [--db FILE] deliver RECEIVER ORDERER YYYY-MM-DD\n"
     "Records the deliveries of an accepted order (once), with the supply value and tax of each line.\n"},
};

bool wantsHelp(const std::vector<std::string>& a) {
    for (const auto& x : a)
        if (x == "--help" || x == "-h") return true;
    return false;
}

// Splits options "--name value" / "--name=value" from the positional words.
struct Args {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    std::vector<std::string> flags;
};

Args parseArgs(const std::vector<std::string>& a, const std::vector<std::string>& valued,
               const std::vector<std::string>& flagNames = {}) {
    Args out;
    for (size_t i = 0; i < a.size(); ++i) {
        const std::string& x = a[i];
        if (x.rfind("--", 0) == 0 && x.size() > 2) {
            std::string name = x.substr(2), value;
            size_t eq = name.find('=');
            bool hasValue = eq != std::string::npos;
            if (hasValue) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
            }
            if (std::find(flagNames.begin(), flagNames.end(), name) != flagNames.end() && !hasValue) {
                out.flags.push_back(name);
                continue;
            }
            if (std::find(valued.begin(), valued.end(), name) == valued.end())
                throw UsageError("unknown option --" + name);
            if (!hasValue) {
                if (i + 1 >= a.size()) throw UsageError("--" + name + " needs a value");
                value = a[++i];
            }
            out.options[name] = value;
        } else {
            out.words.push_back(x);
        }
    }
    return out;
}

void expectWords(const Args& a, size_t min, size_t max) {
    if (a.words.size() < min || a.words.size() > max) throw UsageError("wrong number of arguments");
}

QString checkedDate(const std::string& text) {
    auto d = NormaliseDate(q(text));
    if (!d) throw UsageError("not a date (YYYY-MM-DD): " + text);
    return *d;
}

QString checkedText(const std::string& text, const char* what) {
    QString t = q(text);
    if (!StorableText(t)) throw UsageError(std::string(what) + " must not contain \"</\"");
    return t;
}

QString checkedId(const std::string& text, const char* what) {
    QString t = checkedText(text, what);
    if (t.trimmed().isEmpty()) throw UsageError(std::string(what) + " must not be empty");
    return t;
}

QString readPassword(const Args& a, CommandContext& ctx) {
    auto it = a.options.find("password");
    std::string pw;
    if (it != a.options.end()) {
        pw = it->second;
    } else {
        if (!std::getline(ctx.in, pw)) throw UsageError("no password given on standard input");
        if (!pw.empty() && pw.back() == '\r') pw.pop_back();
    }
    if (pw.empty()) throw UsageError("the password must not be empty");
    return q(pw);
}

void printOrders(Store& store, const QString& receiver, const QString& date, std::ostream& out) {
    auto orders = store.listOrders(receiver, date);
    if (orders.empty()) {
        out << "no orders\n";
        return;
    }
    for (const OrderSummary& o : orders) {
        out << s(o.key.date) << "  " << s(o.key.receiver) << "  " << s(o.key.orderer) << "  lines " << o.lineCount
            << "  total " << s(o.total.toString()) << "  "
            << (o.accepted ? "accepted " + s(o.acceptedAt) : std::string("open"));
        if (!o.deliveredAt.isEmpty()) out << "  delivered " << s(o.deliveredAt);
        if (!o.message.isEmpty()) out << "  message: " << s(o.message);
        out << '\n';
    }
}

void printLines(const std::vector<OrderLine>& lines, std::ostream& out) {
    for (const OrderLine& l : lines) {
        out << "    " << s(l.product) << "  " << s(l.quantity.toString()) << " x " << s(l.unitPrice.toString());
        if (!l.vat.isEmpty()) out << " " << s(l.vat);
        out << "  = " << s(l.amount.toString());
        if (!l.remark.isEmpty()) out << "  " << s(l.remark);
        out << '\n';
    }
}

// Newest first; the current version (when the order exists) heads the list.
bool printHistory(Store& store, const OrderKey& key, std::ostream& out) {
    const std::vector<OrderVersion> versions = store.orderHistory(key);
    for (const OrderVersion& v : versions) {
        Currency total;
        for (const OrderLine& l : v.lines) total = total + l.amount;
        if (v.replacedAt.isEmpty())
            out << "current   written " << s(v.writtenAt);
        else
            out << "replaced " << s(v.replacedAt) << " by " << s(v.replacedBy) << "  written " << s(v.writtenAt);
        out << "  lines " << v.lines.size() << "  total " << s(total.toString());
        if (!v.message.isEmpty()) out << "  message: " << s(v.message);
        out << '\n';
        printLines(v.lines, out);
    }
    return !versions.empty();
}

// "serve": the address and the server's options from the command line.
int serve(const Args& a, const QString& db, CommandContext& ctx) {
    QString host = QStringLiteral("127.0.0.1");
    int port = 8080;
    auto portOf = [](const std::string& t) {
        bool ok = false;
        int p = q(t).toInt(&ok);
        if (!ok || p < 0 || p > 65535) throw UsageError("not a port: " + t);
        return p;
    };
    if (auto it = a.options.find("listen"); it != a.options.end()) {
        const std::string& l = it->second;
        size_t colon = l.rfind(':');
        if (colon == std::string::npos) throw UsageError("--listen takes HOST:PORT");
        std::string h = l.substr(0, colon);
        if (h.size() >= 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
        host = q(h);
        port = portOf(l.substr(colon + 1));
    }
    if (auto it = a.options.find("host"); it != a.options.end()) host = q(it->second);
    if (auto it = a.options.find("port"); it != a.options.end()) port = portOf(it->second);

    ServerOptions options;
    if (auto it = a.options.find("version-text"); it != a.options.end()) options.versionText = q(it->second);
    if (auto it = a.options.find("login-notice"); it != a.options.end()) options.loginNotice = q(it->second);
    HttpLimits& limits = options.http;
    auto number = [&](const char* name, double min, double max, auto apply) {
        auto it = a.options.find(name);
        if (it == a.options.end()) return;
        bool ok = false;
        const double v = q(it->second).toDouble(&ok);
        if (!ok || v < min || v > max)
            throw UsageError("--" + std::string(name) + " takes " + s(QString::number(min)) + " to " +
                             s(QString::number(max)));
        apply(v);
    };
    auto seconds = [](double v) { return std::chrono::milliseconds(static_cast<int64_t>(v * 1000)); };
    number("threads", 1, 256, [&](double v) { limits.workers = static_cast<int>(v); });
    number("header-timeout", 0.1, 3600, [&](double v) { limits.headerTimeout = seconds(v); });
    number("request-timeout", 0.1, 3600, [&](double v) { limits.requestTimeout = seconds(v); });
    number("idle-timeout", 0.1, 86400, [&](double v) { limits.idleTimeout = seconds(v); });
    number("stop-timeout", 0, 8, [&](double v) { limits.stopTimeout = seconds(v); });
    number("max-connections", 1, 1e6, [&](double v) { limits.maxConnections = static_cast<size_t>(v); });
    number("max-per-address", 0, 1e6, [&](double v) { limits.maxPerAddress = static_cast<size_t>(v); });
    number("max-body", 1024, 1 << 30, [&](double v) { limits.maxBodyBytes = static_cast<size_t>(v); });
    size_t connections = static_cast<size_t>(std::min(limits.workers, 16));
    number("db-connections", 1, 1000, [&](double v) { connections = static_cast<size_t>(v); });
    if (std::find(a.flags.begin(), a.flags.end(), "quiet") != a.flags.end()) options.log = nullptr;
    return Serve(db, connections, host, port, options, ctx.out, ctx.err);
}

int dispatch(const std::vector<std::string>& argv, CommandContext& ctx) {
    QString dbPath = QStringLiteral("vendra-server.db");
    size_t i = 0;
    for (; i < argv.size(); ++i) {
        const std::string& x = argv[i];
        if (x == "--db") {
            if (i + 1 >= argv.size()) throw UsageError("--db needs a file or a postgresql:// URL");
            dbPath = q(argv[++i]);
        } else if (x.rfind("--db=", 0) == 0) {
            dbPath = q(x.substr(5));
        } else if (x == "--help" || x == "-h") {
            ctx.out << kMainHelp;
            return 0;
        } else {
            break;
        }
    }
    if (i >= argv.size()) {
        ctx.err << kMainHelp;
        return 2;
    }
    const std::string cmd = argv[i];
    std::vector<std::string> rest(argv.begin() + static_cast<long>(i) + 1, argv.end());
    if (kHelp.find(cmd) == kHelp.end()) throw UsageError("unknown command " + cmd);
    if (wantsHelp(rest)) {
        ctx.out << kHelp.at(cmd);
        return 0;
    }

    if (cmd == "serve")
        return serve(parseArgs(rest,
                               {"listen", "host", "port", "version-text", "login-notice", "threads", "header-timeout",
                                "request-timeout", "idle-timeout", "stop-timeout", "max-connections",
                                "max-per-address", "max-body", "db-connections"},
                               {"quiet"}),
                     dbPath, ctx);

    std::unique_ptr<Store> opened = OpenStore(dbPath, 2);
    Store& store = *opened;
    if (cmd == "init") {
        expectWords(parseArgs(rest, {}), 0, 0);
        ctx.out << "store " << s(StoreName(dbPath)) << " ready, schema version " << store.schemaVersion() << "\n";
        return 0;
    }
    if (cmd == "demo") {
        expectWords(parseArgs(rest, {}), 0, 0);
        SeedDemo(store, ctx.hashStrength, ctx.out);
        return 0;
    }
    Args a = parseArgs(rest, {"password", "receiver", "date"});
    const std::string sub = a.words.empty() ? std::string() : a.words[0];
    if (cmd == "receiver" && sub == "add") {
        expectWords(a, 2, 3);
        store.addReceiver(checkedId(a.words[1], "receiver"),
                          a.words.size() > 2 ? checkedText(a.words[2], "name") : QString());
        ctx.out << "receiver " << a.words[1] << " added\n";
        return 0;
    }
    if (cmd == "orderer") {
        if (sub == "add") {
            expectWords(a, 4, 4);
            QString receiver = checkedId(a.words[1], "receiver"), orderer = checkedId(a.words[2], "orderer");
            QString grade = checkedId(a.words[3], "grade");
            if (grade == QLatin1String("*")) throw UsageError("\"*\" is no grade of its own");
            if (store.orderer(receiver, orderer)) throw UsageError("orderer " + a.words[2] + " exists");
            QString hash = HashPassword(readPassword(a, ctx), ctx.hashStrength);
            store.addReceiver(receiver, QString());
            store.addOrderer(OrdererRecord{receiver, orderer, grade, hash});
            ctx.out << "orderer " << a.words[2] << " of " << a.words[1] << " added, grade " << a.words[3] << "\n";
            return 0;
        }
        if (sub == "passwd") {
            expectWords(a, 3, 3);
            QString receiver = q(a.words[1]), orderer = q(a.words[2]);
            if (!store.orderer(receiver, orderer)) throw UsageError("no orderer " + a.words[2] + " of " + a.words[1]);
            store.setPasswordHash(receiver, orderer, HashPassword(readPassword(a, ctx), ctx.hashStrength));
            ctx.out << "password of " << a.words[2] << " changed\n";
            return 0;
        }
        if (sub == "grade") {
            expectWords(a, 4, 4);
            QString grade = checkedId(a.words[3], "grade");
            if (grade == QLatin1String("*")) throw UsageError("\"*\" is no grade of its own");
            if (!store.setGrade(q(a.words[1]), q(a.words[2]), grade))
                throw UsageError("no orderer " + a.words[2] + " of " + a.words[1]);
            ctx.out << "grade of " << a.words[2] << " is now " << a.words[3] << "\n";
            return 0;
        }
    }
    if (cmd == "prices" && sub == "import") {
        expectWords(a, 3, 3);
        QString receiver = checkedId(a.words[1], "receiver");
        if (!store.receiverExists(receiver)) throw UsageError("no receiver " + a.words[1]);
        QFile f(q(a.words[2]));
        if (!f.open(QIODevice::ReadOnly)) throw UsageError("cannot read " + a.words[2]);
        std::vector<PriceRow> rows = ParsePriceCsv(f.readAll());
        store.importPrices(receiver, rows);
        ctx.out << rows.size() << " prices imported for " << a.words[1] << "\n";
        return 0;
    }
    if (cmd == "notice" && sub == "set") {
        expectWords(a, 4, 4);
        QString receiver = checkedId(a.words[1], "receiver");
        if (!store.receiverExists(receiver)) throw UsageError("no receiver " + a.words[1]);
        store.setNotice(receiver, checkedId(a.words[2], "grade"), checkedText(a.words[3], "notice"));
        ctx.out << (a.words[3].empty() ? "notice removed\n" : "notice set\n");
        return 0;
    }
    if (cmd == "orders") {
        if (sub == "list") {
            expectWords(a, 1, 1);
            QString date;
            if (auto it = a.options.find("date"); it != a.options.end()) date = checkedDate(it->second);
            QString receiver;
            if (auto it = a.options.find("receiver"); it != a.options.end()) receiver = q(it->second);
            printOrders(store, receiver, date, ctx.out);
            return 0;
        }
        if (sub == "accept") {
            expectWords(a, 4, 4);
            OrderKey key{q(a.words[1]), q(a.words[2]), checkedDate(a.words[3])};
            switch (store.acceptOrder(key)) {
                case AcceptResult::Accepted: ctx.out << "order accepted\n"; return 0;
                case AcceptResult::AlreadyAccepted: ctx.out << "order was already accepted\n"; return 0;
                case AcceptResult::NotFound: ctx.err << "vendra-server: no such order\n"; return 1;
            }
        }
        if (sub == "history") {
            expectWords(a, 4, 4);
            if (printHistory(store, OrderKey{q(a.words[1]), q(a.words[2]), checkedDate(a.words[3])}, ctx.out))
                return 0;
            ctx.err << "vendra-server: no such order\n";
            return 1;
        }
    }
    if (cmd == "deliver") {
        expectWords(a, 3, 3);
        OrderKey key{q(a.words[0]), q(a.words[1]), checkedDate(a.words[2])};
        StoredOrder o = store.order(key);
        if (!o.exists) {
            ctx.err << "vendra-server: no such order\n";
            return 1;
        }
        std::vector<DeliveryRow> rows = DeliveryRowsFor(key, o);
        switch (store.recordDelivery(key, rows)) {
            case DeliverResult::Delivered: ctx.out << rows.size() << " delivery lines recorded\n"; return 0;
            case DeliverResult::NotAccepted: ctx.err << "vendra-server: the order is not accepted yet\n"; return 1;
            case DeliverResult::AlreadyDelivered:
                ctx.err << "vendra-server: the order was already delivered\n";
                return 1;
            case DeliverResult::NotFound: ctx.err << "vendra-server: no such order\n"; return 1;
        }
    }
    throw UsageError("unknown command " + cmd + (sub.empty() ? std::string() : " " + sub));
}

}  // namespace

std::vector<DeliveryRow> DeliveryRowsFor(const OrderKey& key, const StoredOrder& order) {
    std::vector<DeliveryRow> rows;
    for (const OrderLine& l : order.lines) {
        if (l.quantity == Currency()) continue;
        const VatSplit t = SplitVat(l.vat, LineAmount(l.quantity, l.unitPrice));
        rows.push_back(DeliveryRow{key.receiver, key.orderer, key.date, l.product, l.quantity, l.unitPrice, l.vat,
                                   t.supply, t.tax, t.total});
    }
    return rows;
}

int RunCommand(const std::vector<std::string>& args, CommandContext& ctx) {
    try {
        return dispatch(args, ctx);
    } catch (const UsageError& e) {
        ctx.err << "vendra-server: " << e.what() << "\n(--help for usage)\n";
        return 2;
    } catch (const ostrel::RuntimeError& e) {
        ctx.err << "vendra-server: error " << e.number() << ": " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        ctx.err << "vendra-server: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace vendra::server
