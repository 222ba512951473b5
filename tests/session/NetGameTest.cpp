#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"
#include "data/DataFiles.h"
#include "rules/RulesFingerprint.h"
#include "session/LevelFiles.h"
#include "session/NetGame.h"

namespace {

// A peer that says a proper hello and then something a real peer never
// sends: the host ends the connection and the game with a message that
// names the fault, and goes on running. The host plays Blue, so the peer's
// Red moves first.
struct CHostileCase {
    std::vector<uint8_t> message;
    const char*          expected;
};

std::vector<uint8_t> CommandMessage(uint32_t seq, const CCommand& command) {
    CNetMessage message;
    message.kind = NetKind::command;
    message.seq  = seq;
    message.entries.push_back({command, 0});
    return EncodeNetMessage(message);
}

TEST(NetGameTest, HostileMessageEndsTheConnectionWithItsReason) {
    const CHostileCase cases[] = {
        {{0xFF, 0x00}, "broken message: an unknown kind of message"},
        {{static_cast<uint8_t>(NetKind::command), 1, 0}, "broken message: the message ends early"},
        {CommandMessage(3, CCommand::EndTurn()), "out of order: command 1 was due"},
        {CommandMessage(1, CCommand::Move(9999, 1, 1)), "which the rules refuse"},
        {CommandMessage(1, CCommand::Fire(0, -5, 70000)), "which the rules refuse"}};
    for (const char* name : {"TestLevel", "Terrain", "units"}) {
        ASSERT_EQ(0, symlink((DataFiles::Folder() + "/" + name).c_str(), name));
    }
    CWatchdog watchdog(60, "the hostile peer cases");
    uint16_t  port = static_cast<uint16_t>(30000 + getpid() % 20000);
    for (const CHostileCase& hostile : cases) {
        CNetGameSetup setup;
        setup.hosting   = true;
        setup.address   = "127.0.0.1";
        setup.port      = ++port;
        setup.levelName = "TestLevel";
        setup.seed      = 5;
        setup.hostTeam  = CMatch::OtherTeam(CMatch::FirstTeamOf(5));
        CNetGame    host(setup);
        std::string error;
        ASSERT_TRUE(host.Start(error)) << error;
        CNetTransport peer;
        ASSERT_TRUE(peer.Connect("127.0.0.1", port, error)) << error;
        CNetMessage hello;
        hello.kind                      = NetKind::hello;
        hello.identity.rulesVersion     = rulesVersion;
        hello.identity.rulesFingerprint = ComputeRulesFingerprint();
        hello.identity.levelName        = "TestLevel";
        hello.identity.levelHash        = CLevelFiles::Hash("TestLevel");
        bool welcomed                   = false;
        for (int round = 0; round < 400 && !host.IsOver(); ++round) {
            host.Pump(5);
            const CNetTransport::CEvent event = peer.Poll(5);
            if (event.kind == CNetTransport::EventKind::connected) {
                peer.Send(event.peer, EncodeNetMessage(hello));
            } else if (event.kind == CNetTransport::EventKind::received && !welcomed) {
                welcomed = true;
                EXPECT_EQ(CNetGame::Phase::playing, host.GetPhase());
                peer.Send(event.peer, hostile.message);
            }
        }
        EXPECT_TRUE(welcomed);
        EXPECT_EQ(CNetGame::Phase::stopped, host.GetPhase());
        EXPECT_NE(std::string::npos, host.GetStatus().find(hostile.expected))
            << "expected '" << hostile.expected << "' in: " << host.GetStatus();
        EXPECT_EQ(0, host.GetCommandCount());
    }
}

// What the dialog's address field and the match tool's options accept.
TEST(NetGameTest, AddressesTheHostAndTheJoiningSideAccept) {
    const struct {
        bool        hosting;
        const char* text;
        bool        accepted;
        const char* address;
        int         port;
    } cases[] = {{false, "127.0.0.1:4000", true, "127.0.0.1", 4000},
                 {false, "::1:65535", true, "::1", 65535},
                 {false, "4000", false, "", 0},
                 {false, ":4000", false, "", 0},
                 {true, "4000", true, "", 4000},
                 {true, ":4000", true, "", 4000},
                 {true, "0", false, "", 0},
                 {true, "65536", false, "", 0},
                 {true, "99999999999999999999", false, "", 0},
                 {false, "host:40x0", false, "", 0},
                 {false, "host:", false, "", 0},
                 {true, "", false, "", 0}};
    for (const auto& c : cases) {
        CNetGameSetup setup;
        setup.hosting = c.hosting;
        EXPECT_EQ(c.accepted, setup.SetAddress(c.text)) << c.text;
        if (c.accepted) {
            EXPECT_EQ(c.address, setup.address) << c.text;
            EXPECT_EQ(c.port, setup.port) << c.text;
        }
    }
}

} // namespace
