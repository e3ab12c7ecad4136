#pragma once
// The server's command line.

#include <QString>
#include <QStringList>

namespace lobby {

struct Options
{
    quint16 port = 0;
    QString databasePath;
    int maxPerAddress = 0;
    int newAccountsPerHour = 0;
    QString moderator;  // grant rights to this account and exit
    bool help = false;
};

// False with a message when an option is missing its value or out of range.
bool parseOptions(const QStringList& arguments, Options& options, QString* error);
QString helpText();
// lobby.db in the user's data folder (XDG_DATA_HOME or ~/.local/share).
QString defaultDatabasePath();

}  // namespace lobby
