#include "session/NetProtocol.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace {

constexpr size_t maxStringBytes = 255;

bool IsPrintable(uint8_t byte) {
    return byte >= 0x20 && byte < 0x7F;
}

class CWriter {
public:
    void Unsigned(uint64_t value, int bytes) {
        for (int index = 0; index < bytes; ++index) {
            out.push_back(static_cast<uint8_t>(value >> (8 * index)));
        }
    }
    void Signed(int32_t value) { Unsigned(static_cast<uint32_t>(value), 4); }
    // Unprintable bytes become '?', and the string is cut to what fits.
    void String(const std::string& text, size_t limit) {
        const size_t length = std::min(text.size(), std::min(limit, maxStringBytes));
        out.push_back(static_cast<uint8_t>(length));
        for (size_t index = 0; index < length; ++index) {
            const auto byte = static_cast<uint8_t>(text[index]);
            out.push_back(IsPrintable(byte) ? byte : '?');
        }
    }
    std::vector<uint8_t> out;
};

class CReader {
public:
    CReader(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}

    bool Unsigned(uint64_t& value, int count) {
        if (size - position < static_cast<size_t>(count)) {
            return Fail("the message ends early");
        }
        value = 0;
        for (int index = 0; index < count; ++index) {
            value |= static_cast<uint64_t>(bytes[position++]) << (8 * index);
        }
        return true;
    }
    template <typename Value> bool Read(Value& value, int count) {
        uint64_t wide = 0;
        if (!Unsigned(wide, count)) {
            return false;
        }
        value = static_cast<Value>(wide);
        return true;
    }
    bool Signed(int& value) {
        uint32_t bits = 0;
        if (!Read(bits, 4)) {
            return false;
        }
        value = static_cast<int32_t>(bits);
        return true;
    }
    bool String(std::string& text, size_t limit) {
        uint8_t length = 0;
        if (!Read(length, 1)) {
            return false;
        }
        if (length > limit) {
            return Fail("a text is longer than allowed");
        }
        if (size - position < length) {
            return Fail("the message ends early");
        }
        for (size_t index = 0; index < length; ++index) {
            if (!IsPrintable(bytes[position + index])) {
                return Fail("a text holds an unprintable byte");
            }
        }
        text.assign(reinterpret_cast<const char*>(bytes + position), length);
        position += length;
        return true;
    }
    void SkipRest() { position = size; }
    bool AtEnd() { return position == size || Fail("the message has bytes after its end"); }
    bool Fail(const char* reason) {
        if (error.empty()) {
            error = reason;
        }
        return false;
    }

    std::string error;

private:
    const uint8_t* bytes;
    size_t         size;
    size_t         position = 0;
};

constexpr size_t maxLevelNameBytes = 64;

void WriteIdentity(CWriter& writer, const CNetIdentity& identity) {
    writer.Unsigned(netMagic, 4);
    writer.Unsigned(identity.protocolVersion, 2);
    writer.Unsigned(identity.rulesVersion, 4);
    writer.Unsigned(identity.rulesFingerprint, 8);
    writer.String(identity.levelName, maxLevelNameBytes);
    writer.Unsigned(identity.levelHash, 8);
}

bool ReadIdentity(CReader& reader, CNetIdentity& identity) {
    uint32_t magic = 0;
    if (!reader.Read(magic, 4)) {
        return false;
    }
    if (magic != netMagic) {
        return reader.Fail("the message does not start with the game's mark");
    }
    if (!reader.Read(identity.protocolVersion, 2)) {
        return false;
    }
    if (identity.protocolVersion != netProtocolVersion) {
        reader.SkipRest();
        return true;
    }
    return reader.Read(identity.rulesVersion, 4) && reader.Read(identity.rulesFingerprint, 8) &&
           reader.String(identity.levelName, maxLevelNameBytes) && reader.Read(identity.levelHash, 8);
}

void WriteEntry(CWriter& writer, const CNetEntry& entry) {
    writer.Unsigned(static_cast<uint8_t>(entry.command.kind), 1);
    writer.Signed(entry.command.unit);
    writer.Signed(entry.command.x);
    writer.Signed(entry.command.y);
    writer.Unsigned(entry.hashAfter, 8);
}

bool ReadEntry(CReader& reader, CNetEntry& entry) {
    uint8_t kind = 0;
    if (!reader.Read(kind, 1)) {
        return false;
    }
    if (kind > CCommand::endTurn) {
        return reader.Fail("an unknown command");
    }
    entry.command.kind = static_cast<CCommand::Kind>(kind);
    return reader.Signed(entry.command.unit) && reader.Signed(entry.command.x) && reader.Signed(entry.command.y) &&
           reader.Read(entry.hashAfter, 8);
}

bool ReadEntries(CReader& reader, CNetMessage& message, size_t count) {
    message.entries.resize(count);
    for (CNetEntry& entry : message.entries) {
        if (!ReadEntry(reader, entry)) {
            return false;
        }
    }
    return true;
}

bool ReadBody(CReader& reader, CNetMessage& message) {
    switch (message.kind) {
    case NetKind::hello:
        if (!ReadIdentity(reader, message.identity)) {
            return false;
        }
        return message.identity.protocolVersion != netProtocolVersion ||
               (reader.Read(message.lastSeq, 4) && reader.Read(message.lastHash, 8));
    case NetKind::welcome:
        if (!ReadIdentity(reader, message.identity)) {
            return false;
        }
        if (message.identity.protocolVersion != netProtocolVersion) {
            return true;
        }
        if (!reader.Read(message.seed, 8) || !reader.Read(message.peerTeam, 1)) {
            return false;
        }
        if (message.peerTeam != 1 && message.peerTeam != 2) {
            return reader.Fail("the welcome names no team");
        }
        return reader.Read(message.lastSeq, 4) && reader.Read(message.lastHash, 8);
    case NetKind::refuse:
    case NetKind::bye: {
        uint8_t reason = 0;
        if (!reader.Read(reason, 1)) {
            return false;
        }
        if (reason > static_cast<uint8_t>(NetReason::last)) {
            return reader.Fail("an unknown reason");
        }
        message.reason = static_cast<NetReason>(reason);
        return reader.String(message.text, CNetMessage::maxTextBytes);
    }
    case NetKind::command:
        return reader.Read(message.seq, 4) && ReadEntries(reader, message, 1);
    case NetKind::missing: {
        uint8_t count = 0;
        if (!reader.Read(message.seq, 4) || !reader.Read(count, 1)) {
            return false;
        }
        if (count == 0 || count > CNetMessage::maxBatch) {
            return reader.Fail("a batch of commands of a size not allowed");
        }
        return ReadEntries(reader, message, count);
    }
    case NetKind::desync:
        return reader.Read(message.seq, 4) && reader.Read(message.senderHash, 8) &&
               reader.Read(message.receiverHash, 8);
    }
    return reader.Fail("an unknown kind of message");
}

} // namespace

std::vector<uint8_t> EncodeNetMessage(const CNetMessage& message) {
    CWriter writer;
    writer.Unsigned(static_cast<uint8_t>(message.kind), 1);
    switch (message.kind) {
    case NetKind::hello:
        WriteIdentity(writer, message.identity);
        writer.Unsigned(message.lastSeq, 4);
        writer.Unsigned(message.lastHash, 8);
        break;
    case NetKind::welcome:
        WriteIdentity(writer, message.identity);
        writer.Unsigned(message.seed, 8);
        writer.Unsigned(message.peerTeam, 1);
        writer.Unsigned(message.lastSeq, 4);
        writer.Unsigned(message.lastHash, 8);
        break;
    case NetKind::refuse:
    case NetKind::bye:
        writer.Unsigned(static_cast<uint8_t>(message.reason), 1);
        writer.String(message.text, CNetMessage::maxTextBytes);
        break;
    case NetKind::command:
    case NetKind::missing: {
        const size_t count =
            std::min(message.entries.size(), message.kind == NetKind::command ? size_t{1} : CNetMessage::maxBatch);
        writer.Unsigned(message.seq, 4);
        if (message.kind == NetKind::missing) {
            writer.Unsigned(count, 1);
        }
        for (size_t index = 0; index < count; ++index) {
            WriteEntry(writer, message.entries[index]);
        }
        break;
    }
    case NetKind::desync:
        writer.Unsigned(message.seq, 4);
        writer.Unsigned(message.senderHash, 8);
        writer.Unsigned(message.receiverHash, 8);
        break;
    }
    return writer.out;
}

bool DecodeNetMessage(const uint8_t* bytes, size_t size, CNetMessage& message, std::string& error) {
    message = CNetMessage();
    CReader reader(bytes, size);
    uint8_t kind = 0;
    bool    ok   = reader.Read(kind, 1);
    if (ok && (kind < static_cast<uint8_t>(NetKind::hello) || kind > static_cast<uint8_t>(NetKind::bye))) {
        ok = reader.Fail("an unknown kind of message");
    }
    message.kind = static_cast<NetKind>(kind);
    ok           = ok && ReadBody(reader, message) && reader.AtEnd();
    if (!ok) {
        error   = reader.error;
        message = CNetMessage();
    }
    return ok;
}

const char* NetReasonName(NetReason reason) {
    static const char* const names[] = {"none", "protocol", "rules",  "level",     "history",
                                        "busy", "hostile",  "desync", "game over", "quit"};
    const auto               index   = static_cast<size_t>(reason);
    return index < sizeof names / sizeof names[0] ? names[index] : "unknown";
}

NetReason IdentityDifferenceReason(const CNetIdentity& host, const CNetIdentity& joining) {
    const CNetIdentity& local  = host;
    const CNetIdentity& remote = joining;
    if (local.protocolVersion != remote.protocolVersion) {
        return NetReason::protocol;
    }
    if (local.rulesVersion != remote.rulesVersion || local.rulesFingerprint != remote.rulesFingerprint) {
        return NetReason::rules;
    }
    if (local.levelName != remote.levelName || local.levelHash != remote.levelHash) {
        return NetReason::level;
    }
    return NetReason::none;
}

std::string DescribeIdentityDifference(const CNetIdentity& host, const CNetIdentity& joining) {
    const CNetIdentity& local  = host;
    const CNetIdentity& remote = joining;
    char                text[256];
    switch (IdentityDifferenceReason(local, remote)) {
    case NetReason::protocol:
        snprintf(text, sizeof text, "version differs: protocol %u on the host, %u on the joining side",
                 local.protocolVersion, remote.protocolVersion);
        break;
    case NetReason::rules:
        snprintf(text, sizeof text,
                 "rules differ: version %u fingerprint %016" PRIx64 " on the host, %u %016" PRIx64
                 " on the joining side",
                 local.rulesVersion, local.rulesFingerprint, remote.rulesVersion, remote.rulesFingerprint);
        break;
    case NetReason::level:
        snprintf(text, sizeof text,
                 "level differs: %s (files %016" PRIx64 ") on the host, %s (files %016" PRIx64 ") on the joining side",
                 local.levelName.c_str(), local.levelHash, remote.levelName.c_str(), remote.levelHash);
        break;
    default:
        return "";
    }
    return text;
}
