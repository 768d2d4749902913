// Any bytes as "TxT.dat": the index is read whole or not at all, and what it
// gives fits in the bytes it came from.
#include "support/FuzzInput.h"
#include "conversations/Conversations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto index = pellam::ParseConversationIndex(std::string(reinterpret_cast<const char*>(data), size));
    if (!index)
        return 0;
    std::size_t bytes = 0;
    for (const auto& slot : index.value().entries)
        bytes += slot.contact.size() + slot.phone.size();
    pellam::fuzz::Require(bytes <= 3 * size, "texts longer than the file");
    return 0;
}
