#include "platform/NetTransport.h"

#include <enet/enet.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>

namespace {

// One channel, reliable and ordered: every message of the game matters.
constexpr size_t channelCount = 1;
// How often a quiet connection is probed, so that silence is noticed.
constexpr enet_uint32 pingIntervalMs = 250;
// The most events handed on per Poll before the caller gets control again
// is one; this bounds the work a flood of datagrams causes per service call.
constexpr int maxServicePerGather = 64;
// A connection attempt without an answer is given up after this long.
constexpr enet_uint32 connectTimeoutMs = 1000;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool InitialiseOnce() {
    static const bool initialised = enet_initialize() == 0 && atexit(enet_deinitialize) == 0;
    return initialised;
}

// The transports by their ENet host, for the datagram callback (an ENet host
// carries no pointer of the user's).
std::map<ENetHost*, CNetTransport*>& Transports() {
    static std::map<ENetHost*, CNetTransport*> transports;
    return transports;
}

uint32_t PeerId(const ENetPeer* peer) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(peer->data));
}

void SetPeerId(ENetPeer* peer, uint32_t id) {
    peer->data = reinterpret_cast<void*>(static_cast<uintptr_t>(id));
}

void ConfigurePeer(ENetPeer* peer) {
    enet_peer_ping_interval(peer, pingIntervalMs);
    enet_peer_timeout(peer, 0, CNetTransport::silenceTimeoutMs, CNetTransport::silenceTimeoutMs);
}

bool ResolveAddress(const std::string& address, uint16_t port, ENetAddress& resolved, std::string& error) {
    resolved.host = ENET_HOST_ANY;
    resolved.port = port;
    if (address.empty() || address == "*") {
        return true;
    }
    if (enet_address_set_host(&resolved, address.c_str()) != 0) {
        error = "the address " + address + " cannot be resolved";
        return false;
    }
    return true;
}

} // namespace

int InterceptNetDatagram(ENetHost* host, ENetEvent*) {
    const auto found = Transports().find(host);
    return found != Transports().end() && found->second->DropThisDatagram() ? 1 : 0;
}

CNetTransport::CNetTransport() = default;

CNetTransport::~CNetTransport() {
    Close();
}

void CNetTransport::Close() {
    if (host == nullptr) {
        return;
    }
    for (size_t index = 0; index < host->peerCount; ++index) {
        if (host->peers[index].state == ENET_PEER_STATE_CONNECTED) {
            enet_peer_disconnect_now(&host->peers[index], 0);
        }
    }
    Transports().erase(host);
    enet_host_destroy(host);
    host = nullptr;
    held.clear();
}

bool CNetTransport::Listen(const std::string& address, uint16_t port, std::string& error) {
    Close();
    ENetAddress bound;
    if (!InitialiseOnce()) {
        error = "the network library cannot be started";
        return false;
    }
    if (!ResolveAddress(address, port, bound, error)) {
        return false;
    }
    host = enet_host_create(&bound, maxPeers, channelCount, 0, 0);
    if (host == nullptr) {
        error = "port " + std::to_string(port) + " cannot be opened (is it in use?)";
        return false;
    }
    host->maximumPacketSize  = maxMessageBytes;
    host->maximumWaitingData = 16 * maxMessageBytes;
    host->intercept          = InterceptNetDatagram;
    Transports()[host]       = this;
    return true;
}

bool CNetTransport::Connect(const std::string& address, uint16_t port, std::string& error) {
    Close();
    ENetAddress remote;
    if (!InitialiseOnce()) {
        error = "the network library cannot be started";
        return false;
    }
    if (address.empty() || !ResolveAddress(address, port, remote, error)) {
        error = error.empty() ? "no address to connect to" : error;
        return false;
    }
    host = enet_host_create(nullptr, 1, channelCount, 0, 0);
    if (host == nullptr) {
        error = "no network socket can be opened";
        return false;
    }
    host->maximumPacketSize  = maxMessageBytes;
    host->maximumWaitingData = 16 * maxMessageBytes;
    host->intercept          = InterceptNetDatagram;
    Transports()[host]       = this;
    ENetPeer* peer           = enet_host_connect(host, &remote, channelCount, 0);
    if (peer == nullptr) {
        error = "no connection can be started";
        Close();
        return false;
    }
    SetPeerId(peer, nextPeerId++);
    // A host that is not up yet is tried again soon; once connected the
    // peer gets the usual silence timeout.
    enet_peer_timeout(peer, 0, connectTimeoutMs, connectTimeoutMs);
    return true;
}

void CNetTransport::SetConditions(const CNetConditions& value) {
    conditions          = value;
    conditions.lossRate = std::clamp(conditions.lossRate, 0.0, 0.9);
    conditions.delayMs  = std::clamp(conditions.delayMs, 0, 2000);
    randomState         = (static_cast<uint64_t>(value.seed) << 1) | 1U;
}

bool CNetTransport::DropThisDatagram() {
    if (conditions.lossRate <= 0.0) {
        return false;
    }
    // xorshift64: the same drops for the same seed and traffic.
    randomState ^= randomState << 13;
    randomState ^= randomState >> 7;
    randomState ^= randomState << 17;
    const double draw = static_cast<double>(randomState >> 11) / static_cast<double>(1ULL << 53);
    if (draw >= conditions.lossRate) {
        return false;
    }
    ++droppedDatagrams;
    return true;
}

void CNetTransport::Gather(int timeoutMs) {
    ENetEvent event;
    int       result = enet_host_service(host, &event, static_cast<enet_uint32>(std::max(timeoutMs, 0)));
    for (int count = 0; result > 0 && count < maxServicePerGather; ++count) {
        CHeldEvent arrived;
        arrived.releaseMs = NowMs() + conditions.delayMs;
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (PeerId(event.peer) == 0) {
                SetPeerId(event.peer, nextPeerId++);
            }
            ConfigurePeer(event.peer);
            arrived.event.kind = EventKind::connected;
            arrived.event.peer = PeerId(event.peer);
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            arrived.event.kind = EventKind::received;
            arrived.event.peer = PeerId(event.peer);
            arrived.event.data.assign(event.packet->data, event.packet->data + event.packet->dataLength);
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            arrived.event.kind = EventKind::disconnected;
            arrived.event.peer = PeerId(event.peer);
            SetPeerId(event.peer, 0);
            break;
        default:
            break;
        }
        if (arrived.event.kind != EventKind::none) {
            held.push_back(std::move(arrived));
        }
        result = enet_host_check_events(host, &event);
    }
}

CNetTransport::CEvent CNetTransport::Poll(int timeoutMs) {
    if (host == nullptr) {
        return {};
    }
    const int64_t deadline = NowMs() + std::max(timeoutMs, 0);
    for (;;) {
        const int64_t now = NowMs();
        if (!held.empty() && held.front().releaseMs <= now) {
            CEvent event = std::move(held.front().event);
            held.pop_front();
            return event;
        }
        int64_t wait = deadline - now;
        if (!held.empty()) {
            wait = std::min(wait, held.front().releaseMs - now);
        }
        Gather(static_cast<int>(std::max<int64_t>(wait, 0)));
        if (NowMs() >= deadline && (held.empty() || held.front().releaseMs > NowMs())) {
            return {};
        }
    }
}

ENetPeer* CNetTransport::FindPeer(uint32_t peer) const {
    if (host == nullptr || peer == 0) {
        return nullptr;
    }
    for (size_t index = 0; index < host->peerCount; ++index) {
        if (PeerId(&host->peers[index]) == peer && host->peers[index].state != ENET_PEER_STATE_DISCONNECTED) {
            return &host->peers[index];
        }
    }
    return nullptr;
}

bool CNetTransport::Send(uint32_t peer, const std::vector<uint8_t>& message) {
    ENetPeer* target = FindPeer(peer);
    if (target == nullptr || message.empty() || message.size() > maxMessageBytes) {
        return false;
    }
    ENetPacket* packet = enet_packet_create(message.data(), message.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) {
        return false;
    }
    if (enet_peer_send(target, 0, packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    return true;
}

void CNetTransport::Disconnect(uint32_t peer) {
    if (ENetPeer* target = FindPeer(peer)) {
        enet_peer_disconnect_later(target, 0);
    }
}

void CNetTransport::Drop(uint32_t peer) {
    if (ENetPeer* target = FindPeer(peer)) {
        enet_peer_disconnect_now(target, 0);
        SetPeerId(target, 0);
    }
}

void CNetTransport::Flush() {
    if (host != nullptr) {
        enet_host_flush(host);
    }
}

uint32_t CNetTransport::RoundTripMs(uint32_t peer) const {
    const ENetPeer* target = FindPeer(peer);
    return target == nullptr ? 0 : target->roundTripTime;
}

bool CNetTransport::IsSending(uint32_t peer) const {
    const ENetPeer* target = FindPeer(peer);
    return target != nullptr &&
           (target->state == ENET_PEER_STATE_CONNECTED || target->state == ENET_PEER_STATE_DISCONNECT_LATER);
}
