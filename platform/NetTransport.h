#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct _ENetEvent;
struct _ENetHost;
struct _ENetPeer;

// Bad network conditions made on purpose, for tests: each datagram that
// arrives is dropped with the given probability (the reliable channel sends
// it again), and every event is handed on only after the given delay.
struct CNetConditions {
    double   lossRate = 0.0; // 0 .. 0.9
    int      delayMs  = 0;   // 0 .. 2000
    uint32_t seed     = 1;   // of the drop decisions
};

// One end of a reliable, ordered message link over UDP: a host that accepts
// peers on a port, or a client that connects to one. Messages are byte
// strings of at most maxMessageBytes; longer ones are refused on both
// sending and receiving. A peer that stays silent for a few seconds is
// reported as disconnected. Everything runs on the caller's thread, in Poll.
class CNetTransport {
public:
    enum class EventKind { none, connected, received, disconnected };
    struct CEvent {
        EventKind            kind = EventKind::none;
        uint32_t             peer = 0; // a number for the peer, new for each connection
        std::vector<uint8_t> data;
    };

    static constexpr size_t maxMessageBytes = 1024;
    // A host takes at most this many peers at once: the player, and one who
    // comes back before the old connection has timed out.
    static constexpr size_t maxPeers = 2;
    // Without an answer for this long a peer counts as gone.
    static constexpr int silenceTimeoutMs = 3000;

    CNetTransport();
    ~CNetTransport();
    CNetTransport(const CNetTransport&)            = delete;
    CNetTransport& operator=(const CNetTransport&) = delete;

    // Accepts peers on the port of the given address ("" or "*" for every
    // address). False, with the reason, when the port cannot be bound.
    bool Listen(const std::string& address, uint16_t port, std::string& error);
    // Starts connecting to a host; a connected or disconnected event tells
    // how it went. Earlier connections of this end are dropped.
    bool Connect(const std::string& address, uint16_t port, std::string& error);
    void SetConditions(const CNetConditions& conditions);

    // The next event, waiting at most timeoutMs for one.
    CEvent Poll(int timeoutMs);
    // Queues a message for the peer; false when it is too long or the peer unknown.
    bool Send(uint32_t peer, const std::vector<uint8_t>& message);
    // Ends the connection once what is queued for it has been sent.
    void Disconnect(uint32_t peer);
    // Ends the connection at once, telling the peer when possible.
    void Drop(uint32_t peer);
    // Sends what is queued now.
    void Flush();
    // The smoothed round-trip time to the peer, in milliseconds (0 unknown).
    uint32_t RoundTripMs(uint32_t peer) const;
    bool     IsOpen() const { return host != nullptr; }
    // Whether the connection is up or still sending what was queued before
    // Disconnect (once it closes, the peer has acknowledged all of it).
    bool IsSending(uint32_t peer) const;

    // Datagrams dropped on purpose so far (for tests).
    uint64_t GetDroppedDatagrams() const { return droppedDatagrams; }

private:
    struct CHeldEvent {
        CEvent  event;
        int64_t releaseMs = 0;
    };

    friend int InterceptNetDatagram(_ENetHost* host, _ENetEvent* event);
    void       Close();
    _ENetPeer* FindPeer(uint32_t peer) const;
    void       Gather(int timeoutMs);
    bool       DropThisDatagram();

    _ENetHost*             host       = nullptr;
    uint32_t               nextPeerId = 1;
    CNetConditions         conditions;
    uint64_t               randomState      = 1;
    uint64_t               droppedDatagrams = 0;
    std::deque<CHeldEvent> held; // events in order of arrival, each with the time it may be handed on
};
