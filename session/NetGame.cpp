#include "session/NetGame.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "core/Logger.h"
#include "rules/RulesFingerprint.h"
#include "session/LevelFiles.h"

namespace {

// A joining side tries the host again this long after a failed attempt.
constexpr int reconnectPauseMs = 500;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string HashText(uint64_t hash) {
    char text[17];
    snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

} // namespace

bool CNetGameSetup::SetAddress(const std::string& text) {
    const size_t colon    = text.rfind(':');
    const size_t portFrom = colon == std::string::npos ? 0 : colon + 1;
    const bool   hostNamed = colon != std::string::npos && colon > 0;
    if ((!hostNamed && !hosting) || portFrom == text.size() ||
        text.find_first_not_of("0123456789", portFrom) != std::string::npos || text.size() - portFrom > 5) {
        return false;
    }
    const unsigned long number = std::strtoul(text.c_str() + portFrom, nullptr, 10);
    if (number == 0 || number > 65535) {
        return false;
    }
    address = colon == std::string::npos ? "" : text.substr(0, colon);
    port    = static_cast<uint16_t>(number);
    return true;
}

CNetGame::CNetGame(CNetGameSetup value) : setup(std::move(value)) {
    identity.rulesVersion     = rulesVersion;
    identity.rulesFingerprint = ComputeRulesFingerprint();
    identity.levelName        = setup.levelName;
    identity.levelHash        = CLevelFiles::Hash(setup.levelName);
}

CNetGame::~CNetGame() = default;

void CNetGame::OverrideIdentity(uint16_t protocolVersion, uint32_t rulesVersionValue) {
    identity.protocolVersion = protocolVersion;
    identity.rulesVersion    = rulesVersionValue;
}

bool CNetGame::Start(std::string& error) {
    transport.SetConditions(setup.conditions);
    const int hostTeam = setup.hostTeam == 2 ? 2 : 1;
    if (setup.resuming) {
        localTeam = setup.hosting ? hostTeam : CMatch::OtherTeam(hostTeam);
        if (!CreateMatch(setup.seed, error) || !ApplyResumed(error)) {
            return false;
        }
    }
    if (setup.hosting) {
        localTeam = hostTeam;
        if ((!match && !CreateMatch(setup.seed, error)) || !transport.Listen(setup.address, setup.port, error)) {
            return false;
        }
        status = "waiting for a player to join on port " + std::to_string(setup.port);
        return true;
    }
    if (!transport.Connect(setup.address, setup.port, error)) {
        return false;
    }
    status = "connecting to " + setup.address + ":" + std::to_string(setup.port);
    return true;
}

bool CNetGame::CreateMatch(uint64_t seed, std::string& error) {
    match = CMatch::LoadLevel(setup.levelName, seed, error);
    if (!match) {
        return false;
    }
    match->SetTraceExchanges(false);
    match->Start();
    startHash = match->StateHash();
    return true;
}

// The log's commands are checked as a peer's would be: each must be one the
// rules accept and give the hash the log holds.
bool CNetGame::ApplyResumed(std::string& error) {
    for (const CNetEntry& entry : setup.resumeEntries) {
        const std::string what    = "command " + std::to_string(history.size() + 1) + " (" + entry.command.ToText() + ")";
        const int         team    = match->GetCurrentTeam();
        const Refusal     refusal = match->Apply(entry.command).refusal;
        if (refusal != Refusal::none) {
            error = "the log's " + what + " is refused by the rules: " + RefusalText(refusal);
            return false;
        }
        Record(entry.command, team == localTeam);
        if (history.back().hashAfter != entry.hashAfter) {
            error = "the log's " + what + " gives another state than the log holds";
            return false;
        }
    }
    if (match->IsGameOver()) {
        error = "the game of the log is over";
        return false;
    }
    return true;
}

void CNetGame::Pump(int timeoutMs) {
    if (IsOver() && activePeer == 0) {
        return;
    }
    ExpireHandshakes();
    if (!setup.hosting && (phase == Phase::connecting || phase == Phase::away) && reconnectAt != 0 &&
        NowMs() >= reconnectAt) {
        Reconnect();
    }
    CNetTransport::CEvent event = transport.Poll(timeoutMs);
    for (int count = 0; event.kind != CNetTransport::EventKind::none; ++count) {
        HandleEvent(event);
        if (count + 1 >= maxEventsPerPump) {
            break;
        }
        event = transport.Poll(0);
    }
}

void CNetGame::HangUp() {
    transport.Drop(activePeer);
    activePeer = 0;
}

void CNetGame::Linger(int timeoutMs) {
    if (activePeer != 0) {
        transport.Disconnect(activePeer);
    }
    const int64_t deadline = NowMs() + timeoutMs;
    while (activePeer != 0 && transport.IsSending(activePeer) && NowMs() < deadline) {
        const CNetTransport::CEvent event = transport.Poll(20);
        if (event.kind == CNetTransport::EventKind::disconnected && event.peer == activePeer) {
            activePeer = 0;
        }
    }
    transport.Flush(); // the acknowledgement of the peer's own farewell
}

void CNetGame::HandleEvent(const CNetTransport::CEvent& event) {
    switch (event.kind) {
    case CNetTransport::EventKind::connected:
        if (setup.hosting) {
            pending.push_back({event.peer, NowMs()});
        } else if (!IsOver()) {
            activePeer = event.peer;
            phase      = Phase::handshaking;
            SendHello();
        }
        break;
    case CNetTransport::EventKind::received: {
        CNetMessage message;
        std::string error;
        if (!DecodeNetMessage(event.data.data(), event.data.size(), message, error)) {
            GetLogger()->LogError("network: a message of %zu bytes from the peer is broken: %s", event.data.size(),
                                  error.c_str());
            if (event.peer == activePeer) {
                Stop(NetReason::hostile, "the peer sent a broken message: " + error, true);
            } else {
                transport.Drop(event.peer);
            }
            break;
        }
        HandleMessage(event.peer, message);
        break;
    }
    case CNetTransport::EventKind::disconnected:
        HandleDisconnect(event.peer);
        break;
    case CNetTransport::EventKind::none:
        break;
    }
}

void CNetGame::HandleMessage(uint32_t peer, const CNetMessage& message) {
    if (IsOver()) {
        return; // what the peer sent before it heard of the end changes nothing
    }
    const bool fromActive = peer == activePeer && activePeer != 0;
    if (message.kind == NetKind::hello && setup.hosting && !fromActive) {
        HandleHello(peer, message);
    } else if (!fromActive) {
        // Only a hello may come from a peer that has not been welcomed.
        GetLogger()->LogError("network: a peer sent a message before its hello; its connection ends");
        transport.Drop(peer);
    } else if (message.kind == NetKind::welcome && !setup.hosting && phase == Phase::handshaking) {
        HandleWelcome(message);
    } else if (message.kind == NetKind::refuse && !setup.hosting && phase == Phase::handshaking) {
        Stop(message.reason, "the host refused the game: " + message.text, false);
        HangUp();
    } else if ((message.kind == NetKind::command || message.kind == NetKind::missing) && phase == Phase::playing) {
        HandleCommands(message);
    } else if (message.kind == NetKind::desync) {
        Desync(message.seq, message.senderHash, message.receiverHash, false);
        HangUp();
    } else if (message.kind == NetKind::bye) {
        Stop(message.reason, std::string(TeamName(PeerTeam())) + " left the game: " + message.text, false);
        HangUp();
    } else {
        Stop(NetReason::hostile, "the peer sent a message out of place", true);
    }
}

bool CNetGame::CheckHistory(uint32_t seq, uint64_t hash, std::string& problem) const {
    // Sequence number 0 needs no check: a side that has applied nothing may
    // not know the seed yet, and the seed is compared on its own.
    if (seq == 0 || seq > history.size() || HashAt(seq) == hash) {
        return true;
    }
    problem = "the two games differ at command " + std::to_string(seq) + ": hash " + HashText(HashAt(seq)) +
              " on one side, " + HashText(hash) + " on the other";
    return false;
}

void CNetGame::HandleHello(uint32_t peer, const CNetMessage& message) {
    pending.erase(std::remove_if(pending.begin(), pending.end(), [&](const CPending& p) { return p.peer == peer; }),
                  pending.end());
    CNetMessage answer;
    answer.kind        = NetKind::refuse;
    answer.reason      = IdentityDifferenceReason(identity, message.identity);
    answer.text        = DescribeIdentityDifference(identity, message.identity);
    const bool matches = answer.reason == NetReason::none;
    if (matches && !CheckHistory(message.lastSeq, message.lastHash, answer.text)) {
        answer.reason = NetReason::history;
    }
    if (answer.reason != NetReason::none) {
        transport.Send(peer, EncodeNetMessage(answer));
        transport.Disconnect(peer);
        // Another version, other rules or another level cannot play this
        // game; a stranger with another history just loses its connection.
        if (matches) {
            GetLogger()->LogError("network: a player was refused: %s", answer.text.c_str());
        } else if (activePeer == 0) {
            activePeer = peer; // so that the refusal goes out before the program ends
            Stop(answer.reason, "refused the player: " + answer.text, false);
        }
        return;
    }
    if (activePeer != 0 && activePeer != peer) {
        transport.Drop(activePeer); // the same player, come back before its old connection timed out
    }
    activePeer      = peer;
    answer          = CNetMessage();
    answer.kind     = NetKind::welcome;
    answer.identity = identity;
    answer.seed     = match->GetSeed();
    answer.peerTeam = static_cast<uint8_t>(PeerTeam());
    answer.lastSeq  = static_cast<uint32_t>(history.size());
    answer.lastHash = HashAt(answer.lastSeq);
    Send(answer);
    peerSeq = message.lastSeq;
    SendMissing(message.lastSeq);
    phase = Phase::playing;
    status.clear();
    if (match->IsGameOver()) {
        phase = Phase::finished;
    }
}

void CNetGame::HandleWelcome(const CNetMessage& message) {
    std::string problem = DescribeIdentityDifference(message.identity, identity);
    NetReason   reason  = IdentityDifferenceReason(message.identity, identity);
    if (reason == NetReason::none && match && (match->GetSeed() != message.seed || localTeam != message.peerTeam)) {
        reason  = NetReason::history;
        problem = "the host plays another game (seed or team differ)";
    }
    if (reason == NetReason::none && !CheckHistory(message.lastSeq, message.lastHash, problem)) {
        reason = NetReason::history;
    }
    std::string error;
    if (reason == NetReason::none && !match) {
        localTeam = message.peerTeam;
        if (!CreateMatch(message.seed, error)) {
            reason  = NetReason::level;
            problem = "the level cannot be played here: " + error;
        }
    }
    if (reason != NetReason::none) {
        Stop(reason, "refused the host's game: " + problem, true);
        return;
    }
    peerSeq = message.lastSeq;
    phase   = Phase::playing;
    status.clear();
    SendMissing(message.lastSeq);
    if (match->IsGameOver() && history.size() >= peerSeq) {
        phase = Phase::finished;
    }
}

void CNetGame::HandleCommands(const CNetMessage& message) {
    const bool catchingUp = message.kind == NetKind::missing;
    for (size_t index = 0; index < message.entries.size() && phase == Phase::playing; ++index) {
        if (!ApplyRemote(message.seq + static_cast<uint32_t>(index), message.entries[index], catchingUp)) {
            return;
        }
    }
}

bool CNetGame::ApplyRemote(uint32_t seq, const CNetEntry& entry, bool catchingUp) {
    const std::string what = "command " + std::to_string(seq) + " (" + entry.command.ToText() + ")";
    if (seq != history.size() + 1) {
        Stop(NetReason::hostile,
             "the peer sent " + what + " out of order: command " + std::to_string(history.size() + 1) + " was due",
             true);
        return false;
    }
    if (!catchingUp && match->GetCurrentTeam() != PeerTeam()) {
        Stop(NetReason::hostile, "the peer sent " + what + " while it was not its move", true);
        return false;
    }
    const Refusal refusal = match->Check(entry.command);
    if (refusal != Refusal::none) {
        Stop(NetReason::hostile, "the peer sent " + what + ", which the rules refuse: " + RefusalText(refusal), true);
        return false;
    }
    match->Apply(entry.command);
    Record(entry.command, false);
    const uint64_t ours = history.back().hashAfter;
    if (ours != entry.hashAfter) {
        Desync(seq, entry.hashAfter, ours, true);
        return false;
    }
    peerSeq = std::max(peerSeq, seq);
    if (match->IsGameOver() && history.size() >= peerSeq) {
        phase  = Phase::finished;
        status = std::string(TeamName(match->GetWinner())) + " wins";
    }
    return true;
}

void CNetGame::Record(const CCommand& command, bool local) {
    const int seq = static_cast<int>(history.size()) + 1;
    if (tamperHook) {
        tamperHook(*match, seq);
    }
    history.push_back({command, match->StateHash()});
    if (commandListener) {
        commandListener(seq, command, history.back().hashAfter, local);
    }
}

bool CNetGame::CanMove() const {
    return phase == Phase::playing && match && !match->IsGameOver() && match->GetCurrentTeam() == localTeam &&
           history.size() >= peerSeq;
}

bool CNetGame::Play(const CCommand& command, std::string& refusal) {
    if (!CanMove()) {
        refusal = "it is not this side's move";
        return false;
    }
    const CApplyResult result = match->Apply(command);
    if (!result.Accepted()) {
        refusal = RefusalText(result.refusal);
        return false;
    }
    Record(command, true);
    CNetMessage message;
    message.kind = NetKind::command;
    message.seq  = static_cast<uint32_t>(history.size());
    message.entries.push_back(history.back());
    Send(message);
    peerSeq = message.seq; // sent in order: the peer holds it unless the link drops, and then it asks again
    if (match->IsGameOver()) {
        phase  = Phase::finished;
        status = std::string(TeamName(match->GetWinner())) + " wins";
    }
    return true;
}

void CNetGame::SendMissing(uint32_t peerHolds) {
    for (uint32_t first = peerHolds + 1; first <= history.size(); first += CNetMessage::maxBatch) {
        CNetMessage message;
        message.kind = NetKind::missing;
        message.seq  = first;
        const uint32_t last =
            std::min<uint32_t>(static_cast<uint32_t>(history.size()), first + CNetMessage::maxBatch - 1);
        message.entries.assign(history.begin() + (first - 1), history.begin() + last);
        Send(message);
    }
}

void CNetGame::Send(const CNetMessage& message) {
    if (activePeer != 0) {
        transport.Send(activePeer, EncodeNetMessage(message));
    }
}

void CNetGame::SendHello() {
    CNetMessage hello;
    hello.kind     = NetKind::hello;
    hello.identity = identity;
    hello.lastSeq  = static_cast<uint32_t>(history.size());
    hello.lastHash = HashAt(hello.lastSeq);
    Send(hello);
}

void CNetGame::Quit() {
    if (!IsOver()) {
        Stop(NetReason::quit, "the game was ended by " + std::string(TeamName(localTeam)), true);
    }
}

void CNetGame::Stop(NetReason reason, const std::string& text, bool tellPeer) {
    if (tellPeer && activePeer != 0) {
        CNetMessage bye;
        bye.kind   = NetKind::bye;
        bye.reason = reason;
        bye.text   = text;
        Send(bye);
        transport.Disconnect(activePeer);
    }
    GetLogger()->LogError("network: %s", text.c_str());
    if (phase != Phase::stopped) {
        phase  = Phase::stopped;
        status = text;
    }
}

void CNetGame::Desync(uint32_t seq, uint64_t theirs, uint64_t ours, bool tellPeer) {
    if (tellPeer) {
        CNetMessage message;
        message.kind         = NetKind::desync;
        message.seq          = seq;
        message.senderHash   = theirs;
        message.receiverHash = ours;
        Send(message);
        transport.Disconnect(activePeer);
    } else {
        std::swap(theirs, ours); // the message gives the sender's hash first: ours, as we sent the command
    }
    WriteDump(seq, theirs, ours);
    Stop(NetReason::desync,
         "the games drifted apart at command " + std::to_string(seq) + ": state hash " + HashText(ours) + " here, " +
             HashText(theirs) + " on " + TeamName(PeerTeam()) + "'s side",
         false);
}

void CNetGame::WriteDump(uint32_t seq, uint64_t theirs, uint64_t ours) const {
    if (setup.dumpPath.empty() || !match) {
        return;
    }
    FILE* file = fopen(setup.dumpPath.c_str(), "w");
    if (file == nullptr) {
        GetLogger()->LogError("network: the state dump %s cannot be written", setup.dumpPath.c_str());
        return;
    }
    fprintf(file, "drifted apart at command %u: state hash %s here, %s on the peer's side\n", seq,
            HashText(ours).c_str(), HashText(theirs).c_str());
    fprintf(file, "level %s seed %" PRIu64 " this side plays team %d\n", setup.levelName.c_str(), match->GetSeed(),
            localTeam);
    fprintf(file, "team to move %d turn %d state %d commands applied %d\n", match->GetCurrentTeam(), match->GetTurn(),
            match->GetGameState(), match->GetCommandCount());
    for (int index = 0; index < match->GetUnitCount(); ++index) {
        const CUnit& unit = *match->GetUnit(index);
        fprintf(file, "unit %d team %d tile %d %d hitpoints %d done %d boosts %d %d %d %d\n", index, unit.team,
                unit.tileX, unit.tileY, unit.hitpoints, unit.done ? 1 : 0, unit.boostAttack, unit.boostDefense,
                unit.boostMovement, unit.boostFirerange);
    }
    for (size_t index = 0; index < history.size(); ++index) {
        fprintf(file, "%zu %s %s\n", index + 1, history[index].command.ToText().c_str(),
                HashText(history[index].hashAfter).c_str());
    }
    if (fclose(file) != 0) {
        GetLogger()->LogError("network: the state dump %s is incomplete", setup.dumpPath.c_str());
    }
}

void CNetGame::HandleDisconnect(uint32_t peer) {
    pending.erase(std::remove_if(pending.begin(), pending.end(), [&](const CPending& p) { return p.peer == peer; }),
                  pending.end());
    if (setup.hosting && peer != activePeer) {
        return;
    }
    activePeer = 0;
    if (IsOver()) {
        return;
    }
    if (phase == Phase::playing || phase == Phase::handshaking) {
        phase = match ? Phase::away : Phase::connecting;
    }
    SetWaiting();
    if (!setup.hosting) {
        reconnectAt = NowMs() + reconnectPauseMs;
    }
}

void CNetGame::SetWaiting() {
    if (phase == Phase::away) {
        status = "waiting for " + std::string(TeamName(PeerTeam())) + " to come back";
    } else {
        status = "waiting for the host at " + setup.address + ":" + std::to_string(setup.port);
    }
}

void CNetGame::Reconnect() {
    reconnectAt = 0;
    std::string error;
    if (!transport.Connect(setup.address, setup.port, error)) {
        reconnectAt = NowMs() + reconnectPauseMs;
        status      = "cannot reach the host: " + error;
    }
}

void CNetGame::ExpireHandshakes() {
    const int64_t now = NowMs();
    for (const CPending& waiting : pending) {
        if (now - waiting.since > handshakeTimeoutMs) {
            transport.Drop(waiting.peer);
        }
    }
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [&](const CPending& p) { return now - p.since > handshakeTimeoutMs; }),
                  pending.end());
}

uint64_t CNetGame::HashAt(uint32_t seq) const {
    if (seq == 0) {
        return match ? startHash : 0;
    }
    return seq <= history.size() ? history[seq - 1].hashAfter : 0;
}
