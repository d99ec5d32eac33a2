// Checking a table image without building its records (CheckImage, what tabletool check runs)
// against a full load: the same result, message, record count, fields and notes for every kind
// of damaged image, for the fuzzer's seeds and for every cut and many byte changes of them. And
// the load hook's side of the shared record walk: rejected records still count as read.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>

#include "MalformedImages.h"
#include "TVolgaSession.h"

namespace {

struct Outcome {
    bool Ok = false;
    std::string Message;
    int Records = 0;
    int Fields = 0;
    std::string Notes;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << (o.Ok ? "ok" : "failed") << " \"" << o.Message << "\" records " << o.Records
              << " fields " << o.Fields << " notes \"" << o.Notes << "\"";
}

// Each read starts with an empty password list, so that one read cannot open a protected image
// for the next.
Outcome FullLoad(const std::string& image, const std::string& password, bool partial) {
    TVolgaSession::Instance().ClearPasswords();
    TVolgaCursor c;
    c.Password = password;
    c.PartialOpen = partial;
    Outcome o;
    o.Ok = c.LoadFromImage(image, o.Message);
    o.Records = c.RecordCount();
    o.Fields = c.FieldCount();
    o.Notes = c.Notes;
    return o;
}

Outcome Check(const std::string& image, const std::string& password, bool partial) {
    TVolgaSession::Instance().ClearPasswords();
    TVolgaCursor c;
    c.Password = password;
    c.PartialOpen = partial;
    Outcome o;
    int count = -1;
    o.Ok = c.CheckImage(image, o.Message, count);
    o.Records = count;
    o.Fields = c.FieldCount();
    o.Notes = c.Notes;
    EXPECT_EQ(c.RecordCount(), 0) << "a check keeps no records";
    return o;
}

// Compares both ways of reading, with and without partial open; returns the full load's message
// (without partial open).
std::string ExpectSameOutcome(const std::string& name, const std::string& image,
                              const std::string& password) {
    for (bool partial : {false, true}) {
        const Outcome load = FullLoad(image, password, partial);
        EXPECT_EQ(Check(image, password, partial), load)
            << name << (partial ? " (partial open)" : "");
    }
    return FullLoad(image, password, false).Message;
}

std::vector<malformed::NamedImage> AllNamedImages() {
    std::vector<malformed::NamedImage> images = malformed::Images();
    for (auto& seed : malformed::CorpusImages(LOADER_CORPUS_DIR)) images.push_back(seed);
    return images;
}

}  // namespace

TEST(CheckImage, AgreesWithAFullLoadOnEveryKindOfDamage) {
    std::set<std::string> messages;
    for (const auto& [name, image, password] : AllNamedImages()) {
        std::string message = ExpectSameOutcome(name, image, password);
        // Record numbers and field names apart, which faults were seen.
        messages.insert(message.substr(0, std::min(message.find('\''), message.find('('))));
    }
    // The list must keep covering every kind of fault the loader reports.
    for (const char* kind : {"", "Buffer structure corruption!", "Error in buffer structure ",
                             "Unexpected end of buffer", "Field ", "String field ", "BLOB field ",
                             "Number of records read ", "Invalid password. Table cannot be open",
                             "Disk on fire"})
        EXPECT_EQ(messages.count(kind), 1u) << "no image fails with \"" << kind << "\"";
}

TEST(CheckImage, AgreesOnEveryCutAndByteChangeOfTheSeeds) {
    std::vector<malformed::NamedImage> seeds = malformed::CorpusImages(LOADER_CORPUS_DIR);
    ASSERT_GE(seeds.size(), 6u);
    for (const auto& named : malformed::Images())
        if (FullLoad(named.Image, named.Password, false).Ok) seeds.push_back(named);
    for (const auto& [name, image, password] : seeds) {
        for (size_t cut = 0; cut < image.size(); ++cut)
            ExpectSameOutcome(name + " cut at " + std::to_string(cut), image.substr(0, cut),
                              password);
        for (size_t at = 0; at < image.size(); ++at) {
            const auto b = static_cast<unsigned char>(image[at]);
            for (unsigned value : {0x00u, 0xFFu, 0x2Au, 0x04u, b ^ 0x01u, b ^ 0x80u}) {
                std::string changed = image;
                changed[at] = static_cast<char>(value);
                ExpectSameOutcome(name + " byte " + std::to_string(at) + " = " +
                                      std::to_string(value),
                                  changed, password);
            }
        }
    }
}

TEST(CheckImage, CountsALargeTableAndLeavesTheHookAlone) {
    TVolgaCursor source;
    malformed::LoadEmpty(source, {{"N", TFieldType::ftInteger, 0}, {"T", TFieldType::ftMemo, 0}});
    for (int i = 0; i < 5000; ++i) {
        TVolgaRecordData d = source.NewBuffer();
        source.FieldByName("N")->SetInt(d, i);
        source.FieldByName("T")->SetText(d, std::string(static_cast<size_t>(i % 40), 'm'));
        malformed::Post(source, d);
    }
    const std::string image = malformed::Image(source);

    TVolgaCursor c;
    int hookCalls = 0;
    c.OnLoadRecord = [&](TVolgaCursor&, TVolgaRecord&) { return ++hookCalls, true; };
    std::string message;
    int count = 0;
    ASSERT_TRUE(c.CheckImage(image, message, count)) << message;
    EXPECT_EQ(count, 5000);
    EXPECT_EQ(hookCalls, 0);
    EXPECT_EQ(c.FieldCount(), 2);
    EXPECT_EQ(c.RecordCount(), 0);
    // The cursor loads normally afterwards.
    ASSERT_TRUE(c.LoadFromImage(image, message)) << message;
    EXPECT_EQ(c.RecordCount(), 5000);
    EXPECT_EQ(hookCalls, 5000);
}

// Three records "A1", "B2", "C3" (FolderID, Expanded true), six bytes each at the end.
std::string ThreeFolders() {
    TVolgaCursor c;
    malformed::LoadEmpty(
        c, {{"FolderID", TFieldType::ftString, 10}, {"Expanded", TFieldType::ftBoolean, 0}});
    for (const char* id : {"A1", "B2", "C3"}) {
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("FolderID")->SetText(d, id);
        c.FieldByName("Expanded")->SetBool(d, true);
        malformed::Post(c, d);
    }
    return malformed::Image(c);
}

TEST(LoadHook, RejectedRecordsCountAsReadForTheDeclaredCount) {
    const std::string image = ThreeFolders() + "xx\x01\x01zz";  // bytes after the records
    TVolgaCursor c;
    c.OnLoadRecord = [](TVolgaCursor& cur, TVolgaRecord& r) {
        return cur.FieldByName("FolderID")->GetText(r.Data) != "A1";
    };
    std::string message;
    ASSERT_TRUE(c.LoadFromImage(image, message)) << message;
    ASSERT_EQ(c.RecordCount(), 2);
    EXPECT_EQ(c.FieldByName("FolderID")->GetText(c.Record(0)->Data), "B2");

    // Fewer records than declared is an error with a hook too.
    std::string cut = ThreeFolders();
    cut.resize(cut.size() - 6);
    EXPECT_FALSE(c.LoadFromImage(cut, message));
    EXPECT_EQ(message, "Number of records read (2) does not match declared record count (3)");
}

TEST(LoadHook, AFaultNamesTheRecordByItsPlaceInTheFile) {
    std::string image = ThreeFolders();
    image[image.size() - 6 + 1] = 3;  // the third record's Boolean length
    TVolgaCursor c;
    c.OnLoadRecord = [](TVolgaCursor&, TVolgaRecord&) { return false; };
    std::string message;
    EXPECT_FALSE(c.LoadFromImage(image, message));
    EXPECT_EQ(message, "Field 'Expanded' has wrong length 3 in record 3");
    EXPECT_EQ(c.FieldCount(), 0);
}
