// Feeds arbitrary bytes to the lobby client as if the server had sent them,
// cut into reads of a size the first byte picks, and checks what it keeps:
// a game number of digits only, no empty user names, game data only inside a game.
#include "data/GameData.h"
#include "net/GameRooms.h"
#include "net/frmChat.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr size_t MaxReadBytes = 64;

class CheckingRooms : public GameRooms {
public:
    void OpenHostLobby() override {}
    void OpenJoinLobby() override { hosting = !hosting; }
    bool IsHosting() const override { return hosting; }
    bool IsOpen() const override { return hosting; }
    void HandleHostGameData(const QString&) override { check(); }
    void HandleClientGameData(const QString&) override { check(); }
    bool hosting = false;

private:
    static void check()
    {
        if (modStrat::GameNumber.isEmpty())
            std::abort();
    }
};

void startQt()
{
    static int argc = 1;
    static char name[] = "fuzz_lobby_client";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

bool digitsOnly(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    startQt();
    platform::dialogScript::enable();
    platform::dialogScript::clear();
    modStrat::GameNumber.clear();
    modStrat::IsGameHost = false;

    CheckingRooms rooms;
    frmChat chat;
    chat.rooms = &rooms;
    chat.exitProgram = [] {};
    const size_t chunk = data[0] % MaxReadBytes + 1;
    for (size_t at = 1; at < size; at += chunk) {
        const size_t n = std::min(chunk, size - at);
        chat.receive(QByteArrayView(reinterpret_cast<const char*>(data + at), qsizetype(n)));
    }

    const QString& number = modStrat::GameNumber;
    if (number.size() > frmChat::MaxGameNumberDigits || !digitsOnly(number))
        std::abort();
    if (chat.lstUsers.contains(QString()))
        std::abort();
    return 0;
}
