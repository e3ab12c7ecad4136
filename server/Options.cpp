#include "Options.h"

#include "Server.h"

#include <QCommandLineParser>
#include <QStandardPaths>

namespace lobby {

namespace {

constexpr int MaxConnectionsPerAddressLimit = 100000;
constexpr int MaxNewAccountsPerHourLimit = 1000000;

QList<QCommandLineOption> optionList()
{
    return {
        {QStringLiteral("port"), QStringLiteral("TCP port to listen on (default 9876; 0 picks a free one)."),
         QStringLiteral("N")},
        {QStringLiteral("db"), QStringLiteral("Account database (default %1).").arg(defaultDatabasePath()),
         QStringLiteral("PATH")},
        {QStringLiteral("max-per-address"), QStringLiteral("Connections allowed from one address (default 5)."),
         QStringLiteral("N")},
        {QStringLiteral("new-accounts-per-hour"),
         QStringLiteral("New accounts one address may make in an hour (default %1).")
             .arg(LoginLimits::DefaultNewAccountsPerHour),
         QStringLiteral("N")},
        {QStringLiteral("moderator"), QStringLiteral("Give the account NAME moderator rights, then exit."),
         QStringLiteral("NAME")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
    };
}

bool number(const QCommandLineParser& parser, const QString& name, int low, int high, int& out, QString* error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high) {
        *error = QStringLiteral("--%1 wants a number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    }
    out = value;
    return true;
}

}  // namespace

QString defaultDatabasePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/vesperfall/lobby.db");
}

QString helpText()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Vesperfall lobby server."));
    parser.addOptions(optionList());
    return parser.helpText();
}

bool parseOptions(const QStringList& arguments, Options& options, QString* error)
{
    QCommandLineParser parser;
    parser.addOptions(optionList());
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return false;
    }
    options.help = parser.isSet(QStringLiteral("help"));
    int port = ServerConfig::DefaultPort;
    int perAddress = ServerConfig::DefaultMaxPerAddress;
    int newAccounts = LoginLimits::DefaultNewAccountsPerHour;
    if (!number(parser, QStringLiteral("port"), 0, 65535, port, error)
        || !number(parser, QStringLiteral("max-per-address"), 1, MaxConnectionsPerAddressLimit, perAddress, error)
        || !number(parser, QStringLiteral("new-accounts-per-hour"), 0, MaxNewAccountsPerHourLimit, newAccounts, error))
        return false;
    options.newAccountsPerHour = newAccounts;
    options.port = quint16(port);
    options.maxPerAddress = perAddress;
    options.databasePath = parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db")) : defaultDatabasePath();
    options.moderator = parser.value(QStringLiteral("moderator"));
    return true;
}

}  // namespace lobby
