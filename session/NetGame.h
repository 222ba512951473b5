#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/NetTransport.h"
#include "rules/Match.h"
#include "session/NetProtocol.h"

// How one side takes part in a network game.
struct CNetGameSetup {
    bool           hosting = false;
    std::string    address; // the host to join, or the address to accept peers on ("" every address)
    uint16_t       port = 0;
    std::string    levelName;
    uint64_t       seed     = 1; // the host's; the joining side takes the host's
    int            hostTeam = 1; // the team the host plays; the joining side plays the other
    std::string    dumpPath;     // where a state dump goes when the two sides drift apart
    CNetConditions conditions;
    // A game taken up again from this side's log (after its program was
    // restarted): the commands it holds, applied before the peer is asked
    // for the rest. The seed and hostTeam are the log's.
    bool                   resuming = false;
    std::vector<CNetEntry> resumeEntries;

    // "HOST:PORT" (the last colon splits, so "::1:4000" works too); the
    // host may also give a bare "PORT" or ":PORT" (every address). False
    // for anything else, a port of 0 or above 65535 among it.
    bool SetAddress(const std::string& text);
};

// One side of a match played in lockstep with a peer. Each side keeps its
// own match; only commands cross the network. The side to move applies a
// command, then sends it with its sequence number and the state hash after
// it; the other side checks it against the rules, applies it and compares
// the hash. After a drop, the side that comes back (also after a restart)
// tells its last sequence number and hash, and each side sends the commands
// the other lacks, so that no command is lost or applied twice. Anything a
// peer sends that breaks the protocol or the rules ends the connection with
// a message; nothing from the network names a file.
class CNetGame {
public:
    enum class Phase {
        connecting, // waiting for the peer (the host) or for the host to answer (joining)
        handshaking,
        playing,
        away,     // the peer went silent or dropped; waiting for it to come back
        finished, // the game ended with a winner
        stopped   // refused, drifted apart, a hostile peer, or the peer left
    };
    // A command applied to the match: its sequence number, the command, the
    // state hash after it, and whether this side gave it.
    using CommandListener = std::function<void(int seq, const CCommand& command, uint64_t hash, bool local)>;
    // Test hook: called after the command of sequence number seq was
    // applied, before its hash is compared or sent; may change the match.
    using TamperHook = std::function<void(CMatch& match, int seq)>;

    // Waiting this long for a connected peer's first message ends its connection.
    static constexpr int handshakeTimeoutMs = 2000;
    // Messages handled per Pump; the rest wait for the next one.
    static constexpr int maxEventsPerPump = 64;

    explicit CNetGame(CNetGameSetup setup);
    ~CNetGame();

    // Opens the port or starts connecting; the host also sets up its match.
    // False, with the reason, when that fails.
    bool Start(std::string& error);
    // Handles what arrived, waiting at most timeoutMs for the first event.
    void Pump(int timeoutMs);
    // Whether this side may give a command now: the game is on, the peer
    // is there and has caught up, and its team is to move.
    bool CanMove() const;
    // Applies a command of this side and sends it. False (nothing sent)
    // when it is not this side's move or the rules refuse it.
    bool Play(const CCommand& command, std::string& refusal);
    // Tells the peer the game ends and closes the connection.
    void Quit();
    // Closes the connection once what is queued has gone out, waiting at
    // most timeoutMs: the last command of a game reaches the peer.
    void Linger(int timeoutMs);
    // Test hook: this side claims another protocol or rules version.
    void OverrideIdentity(uint16_t protocolVersion, uint32_t rulesVersion);

    Phase GetPhase() const { return phase; }
    // The seed of the game: the host's, known on the joining side once welcomed.
    uint64_t GetSeed() const { return match ? match->GetSeed() : setup.seed; }
    // Every command applied so far, with the state hash after it.
    const std::vector<CNetEntry>& GetHistory() const { return history; }
    // Playing, and this side holds every command the peer holds.
    bool          IsCaughtUp() const { return phase == Phase::playing && history.size() >= peerSeq; }
    bool          IsOver() const { return phase == Phase::finished || phase == Phase::stopped; }
    const CMatch* GetMatch() const { return match.get(); }
    int           GetLocalTeam() const { return localTeam; }
    int           GetCommandCount() const { return static_cast<int>(history.size()); }
    // What the side waits for or why the game stopped, for the window and the console.
    const std::string& GetStatus() const { return status; }
    uint32_t           RoundTripMs() const { return transport.RoundTripMs(activePeer); }
    uint64_t           GetDroppedDatagrams() const { return transport.GetDroppedDatagrams(); }
    void               SetCommandListener(CommandListener listener) { commandListener = std::move(listener); }
    void               SetTamperHook(TamperHook hook) { tamperHook = std::move(hook); }
    static const char* TeamName(int team) { return team == 1 ? "Red" : "Blue"; }

private:
    void HandleEvent(const CNetTransport::CEvent& event);
    void HandleMessage(uint32_t peer, const CNetMessage& message);
    void HandleHello(uint32_t peer, const CNetMessage& message);
    void HandleWelcome(const CNetMessage& message);
    void HandleCommands(const CNetMessage& message);
    void HandleDisconnect(uint32_t peer);
    bool CreateMatch(uint64_t seed, std::string& error);
    bool ApplyResumed(std::string& error);
    bool CheckHistory(uint32_t seq, uint64_t hash, std::string& problem) const;
    bool ApplyRemote(uint32_t seq, const CNetEntry& entry, bool catchingUp);
    void Record(const CCommand& command, bool local);
    void SendMissing(uint32_t peerSeq);
    void Send(const CNetMessage& message);
    void SendHello();
    void Stop(NetReason reason, const std::string& text, bool tellPeer);
    void Desync(uint32_t seq, uint64_t theirs, uint64_t ours, bool tellPeer);
    void WriteDump(uint32_t seq, uint64_t theirs, uint64_t ours) const;
    void Reconnect();
    // The peer has ended the game: nothing more goes to it.
    void     HangUp();
    void     ExpireHandshakes();
    void     SetWaiting();
    uint64_t HashAt(uint32_t seq) const;
    int      PeerTeam() const { return CMatch::OtherTeam(localTeam); }

    struct CPending {
        uint32_t peer  = 0;
        int64_t  since = 0;
    };

    CNetGameSetup           setup;
    CNetIdentity            identity;
    CNetTransport           transport;
    std::unique_ptr<CMatch> match;
    uint64_t                startHash = 0;
    std::vector<CNetEntry>  history; // history[i] is the command of sequence number i + 1
    Phase                   phase      = Phase::connecting;
    int                     localTeam  = 0;
    uint32_t                activePeer = 0;
    uint32_t                peerSeq    = 0; // the number of commands the peer is known to hold
    std::vector<CPending>   pending;        // connected peers that have not said hello yet
    int64_t                 reconnectAt = 0;
    std::string             status;
    CommandListener         commandListener;
    TamperHook              tamperHook;
};
