// Feeds arbitrary bytes to the mbox reader as a file: splitting, unquoting, the size limit and
// reading each message back by its offset must neither crash nor hang, and a message read back
// must be the one handed out while splitting.
#include "base/Log.h"
#include "email/MailStoreReader.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Log::setEchoToStandardError(false);
    Log::setLogFilePath(QString());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryFile file;
    if (!file.open()) {
        return 0;
    }
    // Every input is read as an mbox, whatever its first bytes.
    file.write("From fuzz\n");
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.flush();

    MailStoreReader::Options options;
    options.maximumMessageSize = 4096; // small, so inputs reach the limit
    const MailStoreReader reader(options);
    std::vector<MailStoreMessage> messages;
    reader.read(file.fileName(), [&](const MailStoreMessage& message) {
        messages.push_back(message);
        return true;
    });
    for (const MailStoreMessage& message : messages) {
        if (reader.messageAt(message.place).bytes != message.bytes) {
            std::abort();
        }
    }
    return 0;
}
