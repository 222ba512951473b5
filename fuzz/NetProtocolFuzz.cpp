#include "FuzzInput.h"
#include "session/NetProtocol.h"

// An accepted network message encodes back to the very same bytes (the decoder takes nothing it would not write),
// except a hello or welcome of another protocol version, which keeps only its version.
FUZZ_TARGET("") {
    CNetMessage message;
    std::string error;
    if (!DecodeNetMessage(data, size, message, error)) {
        Require(!error.empty());
        return;
    }
    const bool otherVersion = (message.kind == NetKind::hello || message.kind == NetKind::welcome) &&
                              message.identity.protocolVersion != netProtocolVersion;
    const std::vector<uint8_t> again = EncodeNetMessage(message);
    Require(otherVersion || (again.size() == size && std::equal(again.begin(), again.end(), data)));
}
