#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rules/Command.h"

// The messages two machines playing one match exchange, and their bytes.
// Every number is little-endian; strings are a length byte and that many
// printable ASCII bytes. A message is one kind byte and the kind's fields,
// with nothing after them:
//   hello    magic, protocol, rules version, rules fingerprint, level name,
//            level hash, last sequence number, state hash after it
//   welcome  the same identity, the seed, the team the joining side plays,
//            the host's last sequence number and state hash
//   refuse   a reason and a text
//   command  sequence number of the first command, then one entry:
//            kind, unit, x, y, the state hash after the command
//   missing  the same with 1 .. maxBatch entries (catching up after a drop)
//   desync   sequence number, the sender's and the receiver's state hash
//   bye      a reason and a text
// A hello or welcome of another protocol version decodes to its version
// alone, so that the difference can be named whatever follows it.
// The decoder accepts nothing else: a wrong size, kind, magic, string byte
// or count is an error with its reason, never a partial message.

constexpr uint32_t netMagic           = 0x4E4C4452; // "RDLN" in the stream
constexpr uint16_t netProtocolVersion = 1;

enum class NetKind : uint8_t { hello = 1, welcome, refuse, command, missing, desync, bye };

// Why a handshake was refused or a connection ended.
enum class NetReason : uint8_t {
    none = 0,
    protocol, // another protocol version
    rules,    // another rules version or fingerprint
    level,    // another level or other level files
    history,  // the two sides' commands differ
    busy,     // a game with another player is on
    hostile,  // a message that breaks the protocol or the rules
    desync,   // the states drifted apart
    gameOver, // the game ended
    quit,     // the player left
    last = quit,
};

// What each side checks of the other before playing.
struct CNetIdentity {
    uint16_t    protocolVersion  = netProtocolVersion;
    uint32_t    rulesVersion     = 0;
    uint64_t    rulesFingerprint = 0;
    std::string levelName;
    uint64_t    levelHash = 0;

    bool operator==(const CNetIdentity& other) const {
        return protocolVersion == other.protocolVersion && rulesVersion == other.rulesVersion &&
               rulesFingerprint == other.rulesFingerprint && levelName == other.levelName &&
               levelHash == other.levelHash;
    }
};

struct CNetEntry {
    CCommand command;
    uint64_t hashAfter = 0;
};

struct CNetMessage {
    static constexpr size_t maxTextBytes = 255;
    static constexpr size_t maxBatch     = 32;

    NetKind kind = NetKind::bye;
    // hello and welcome
    CNetIdentity identity;
    uint32_t     lastSeq  = 0;
    uint64_t     lastHash = 0;
    uint64_t     seed     = 0; // welcome
    uint8_t      peerTeam = 0; // welcome: 1 or 2
    // refuse and bye
    NetReason   reason = NetReason::none;
    std::string text;
    // command and missing: entries for seq, seq + 1, ...; desync: seq and the two hashes
    uint32_t               seq = 0;
    std::vector<CNetEntry> entries;
    uint64_t               senderHash = 0, receiverHash = 0;
};

// The bytes of a message; texts and names longer than a byte string holds
// or with bytes outside printable ASCII are cut and cleaned first.
std::vector<uint8_t> EncodeNetMessage(const CNetMessage& message);
// False, with the reason, for anything but exactly one valid message.
bool DecodeNetMessage(const uint8_t* bytes, size_t size, CNetMessage& message, std::string& error);

const char* NetReasonName(NetReason reason);
// "version", "rules" or "level" with both sides' values, for the first field
// in which the identities differ; empty when they agree. Both sides word it
// the same way.
std::string DescribeIdentityDifference(const CNetIdentity& host, const CNetIdentity& joining);
NetReason   IdentityDifferenceReason(const CNetIdentity& host, const CNetIdentity& joining);
