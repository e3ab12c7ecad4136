#pragma once
// One time-stamped line on stderr per connection, login, game and
// moderation action. Not synced: a log is nothing a person would lose.

#include <QString>

namespace lobby {

void logLine(const QString& text);
// Tests and the benchmark's server turn the log off.
void setLogging(bool on);

}  // namespace lobby
