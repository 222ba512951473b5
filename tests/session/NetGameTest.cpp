#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"
#include "data/DataFiles.h"
#include "rules/RulesFingerprint.h"
#include "session/LevelFiles.h"
#include "session/NetGame.h"

namespace {

// A peer says a proper hello, then what a real peer never sends: the host ends the connection and
// the game with a message naming the fault, and goes on running. The peer's side moves first.
std::vector<uint8_t> CommandMessage(uint32_t seq, const CCommand& command) {
    CNetMessage message;
    message.kind = NetKind::command;
    message.seq  = seq;
    message.entries.push_back({command, 0});
    return EncodeNetMessage(message);
}

TEST(NetGameTest, HostileMessageEndsTheConnectionWithItsReason) {
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
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
    for (const auto& [message, expected] : cases) {
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
                peer.Send(event.peer, message);
            }
        }
        EXPECT_TRUE(welcomed);
        EXPECT_EQ(CNetGame::Phase::stopped, host.GetPhase());
        EXPECT_NE(std::string::npos, host.GetStatus().find(expected))
            << "expected '" << expected << "' in: " << host.GetStatus();
        EXPECT_EQ(0, host.GetCommandCount());
    }
}

TEST(NetGameTest, AddressesTheHostAndTheJoiningSideAccept) {
    const auto parse = [](bool hosting, const char* text) {
        CNetGameSetup setup;
        setup.hosting = hosting;
        return setup.SetAddress(text) ? setup.address + " " + std::to_string(setup.port) : std::string("refused");
    };
    EXPECT_EQ(parse(false, "127.0.0.1:4000"), "127.0.0.1 4000");
    EXPECT_EQ(parse(false, "::1:65535"), "::1 65535");
    EXPECT_EQ(parse(true, "4000"), " 4000");
    EXPECT_EQ(parse(true, ":4000"), " 4000");
    for (const char* text : {"4000", ":4000", "host:40x0", "host:"}) {
        EXPECT_EQ(parse(false, text), "refused") << text;
    }
    for (const char* text : {"0", "65536", "99999999999999999999", ""}) {
        EXPECT_EQ(parse(true, text), "refused") << text;
    }
}

} // namespace
