// Fuzzes the table image loader: any bytes must either load or fail with a message, never
// crash; a check of the image must end the same way; an image that loads must survive a save
// and a reload with the same records.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "TVolgaCursor.h"

namespace {

// The protected images of the seed corpus use this password; setting it on the cursors that load
// protected images lets mutations of them get past the password block into the records.
const char kPassword[] = "fuzz";

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_loader: %s\n", what);
    std::abort();
}

// A check of the image (the same reading without building records) must end as the load did.
void CheckAgrees(std::string_view image, bool partial, bool loaded, const std::string& message,
                 const TVolgaCursor& loadedCursor) {
    TVolgaCursor c;
    if (image.size() >= 5 && image[4] == 'P') c.Password = kPassword;
    c.PartialOpen = partial;
    std::string checkMessage;
    int count = -1;
    const bool ok = c.CheckImage(image, checkMessage, count);
    if (ok != loaded || checkMessage != message) Fail("a check and a load end differently");
    if (ok && (count != loadedCursor.RecordCount() || c.FieldCount() != loadedCursor.FieldCount()))
        Fail("a check counts other records or fields than a load");
    if (c.RecordCount() != 0) Fail("a check keeps records");
}

void LoadAndRoundTrip(std::string_view image, bool partial) {
    const bool protectedImage = image.size() >= 5 && image[4] == 'P';
    TVolgaCursor c;
    if (protectedImage) c.Password = kPassword;
    c.PartialOpen = partial;
    std::string message;
    const bool loaded = c.LoadFromImage(image, message);
    CheckAgrees(image, partial, loaded, message, c);
    if (!loaded) {
        // An error record carries its own message, which may be empty.
        const bool errorRecord = image.size() >= 5 && image[4] == 'E';
        if (message.empty() && !errorRecord) Fail("a failed load must say why");
        if (c.FieldCount() != 0 || c.RecordCount() != 0)
            Fail("a failed load must empty the cursor");
        return;
    }
    if (!partial && !message.empty()) Fail("a complete load reports no message");

    std::string rebuilt;
    size_t length = c.BuildImage(rebuilt);
    if (length != rebuilt.size()) Fail("BuildImage length");

    TVolgaCursor again;
    again.Password = c.Password;
    std::string message2;
    if (!again.LoadFromImage(rebuilt, message2)) Fail("a saved image must load");
    if (again.RecordCount() != c.RecordCount()) Fail("record count changed by a save");
    if (again.FieldCount() != c.FieldCount()) Fail("field count changed by a save");

    // Plain images are deterministic: a second save of the reloaded table gives the same bytes.
    if (c.Password.empty()) {
        std::string twice;
        again.BuildImage(twice);
        if (twice != rebuilt) Fail("a reloaded table saves differently");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view image(reinterpret_cast<const char*>(data), size);
    LoadAndRoundTrip(image, false);
    LoadAndRoundTrip(image, true);
    return 0;
}
