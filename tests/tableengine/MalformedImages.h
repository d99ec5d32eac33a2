// Table images of every kind the loader must refuse or read in part, plus a few good ones, and
// the loader fuzzer's seed images: shared by the tests that compare ways of reading an image.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "EVolgaError.h"
#include "TVolgaCursor.h"

namespace malformed {

struct NamedImage {
    std::string Name;
    std::string Image;
    std::string Password;  // set on the reading cursor (protected images)
};

inline std::string U32(uint32_t v) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &v, 4);
    return s;
}

inline void Post(TVolgaCursor& c, const TVolgaRecordData& d) {
    std::string message;
    if (!c.PostRecord(d, nullptr, message)) throw EVolgaError(message);
}

inline void LoadEmpty(TVolgaCursor& c, const std::vector<TVolgaFieldDef>& defs) {
    std::string message;
    if (!c.LoadFromImage(TVolgaCursor::BuildEmptyImage(defs), message))
        throw EVolgaError(message);
}

inline std::string Image(TVolgaCursor& c) {
    std::string image;
    c.BuildImage(image);
    return image;
}

// The two-field folder table with one record (FolderID "AB12", Expanded true): 56 bytes, the
// record header at 48 and 49.
inline std::string FolderExample() {
    TVolgaCursor c;
    LoadEmpty(c, {{"FolderID", TFieldType::ftString, 10}, {"Expanded", TFieldType::ftBoolean, 0}});
    TVolgaRecordData d = c.NewBuffer();
    c.FieldByName("FolderID")->SetText(d, "AB12");
    c.FieldByName("Expanded")->SetBool(d, true);
    Post(c, d);
    return Image(c);
}

// A plain image with the given section, an empty notes block and one record.
inline std::string ImageWithEmptyNotes(const std::string& section, uint32_t fieldCount,
                                       const std::string& record) {
    std::string body = "S";
    body += U32(1);
    body += U32(fieldCount);
    body += U32(static_cast<uint32_t>(section.size()));
    body += section;
    body.append("*\0\0", 3);
    body += record;
    return U32(static_cast<uint32_t>(body.size() + 4)) + body;
}

inline std::vector<NamedImage> Images() {
    std::vector<NamedImage> out;
    auto add = [&](const std::string& name, const std::string& image,
                   const std::string& password = "") {
        out.push_back({name, image, password});
    };
    auto with = [](std::string image, size_t at, const std::string& bytes) {
        image.replace(at, bytes.size(), bytes);
        return image;
    };

    // Header, section and record faults of the folder example.
    const std::string good = FolderExample();
    add("folder example", good);
    add("empty image", "");
    add("length only", good.substr(0, 4));
    add("unknown kind", with(good, 4, "X"));
    add("error record", U32(9) + "EDisk on fire");
    add("error record without text", U32(5) + "E");
    add("section longer than allowed", with(good, 13, U32(100000)));
    add("section past the end", with(good, 13, U32(500)));
    add("entry without terminator", with(good, 31, " "));
    add("more fields than entries", with(good, 9, U32(3)));
    add("no fields", with(good, 9, U32(0)));
    add("cut in the section", good.substr(0, 30));
    add("cut in the record values", good.substr(0, 54));
    add("cut in the record header", good.substr(0, 49));
    add("wrong Boolean length", with(good, 49, "\x03"));
    add("SmallStr longer than its buffer", with(good, 48, "\x0C"));
    add("more records declared", with(good, 5, U32(2)));
    add("fewer records declared", with(good, 5, U32(0)));
    add("bytes after the records", good + "trailing bytes");
    add("garbage", "garbage");

    // String and BLOB-family lengths.
    {
        TVolgaCursor c;
        LoadEmpty(c, {{"S", TFieldType::ftString, 9000}, {"M", TFieldType::ftMemo, 0}});
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("S")->SetText(d, "fine");
        c.FieldByName("M")->SetText(d, "memo text");
        Post(c, d);
        d = c.NewBuffer();
        c.FieldByName("S")->SetText(d, std::string(8192, 'x'));  // written, not readable
        Post(c, d);
        add("String of 8192 bytes in record 2", Image(c));
    }
    {
        TVolgaCursor c;
        LoadEmpty(c, {{"M", TFieldType::ftMemo, 0}, {"N", TFieldType::ftInteger, 0}});
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("M")->SetText(d, "x");
        c.FieldByName("N")->SetInt(d, 7);
        Post(c, d);
        const std::string image = Image(c);
        const size_t count = image.size() - 4 - 1 - 4;  // before "x" and N's four bytes
        add("memo", image);
        add("BLOB longer than allowed", with(image, count, U32(1073741824)));
        add("negative BLOB length", with(image, count, U32(0xFFFFFFFFu)));
        add("BLOB past the end", with(image, count, U32(1000)));
        add("cut in a BLOB length", image.substr(0, count + 2));
        add("wrong String-family header byte", with(image, count - 2, "\x03"));
    }
    {
        TVolgaCursor c;
        LoadEmpty(c, {{"S", TFieldType::ftString, 100}});
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("S")->SetText(d, "text");
        Post(c, d);
        const std::string image = Image(c);
        add("negative String length", with(image, image.size() - 8, U32(0x80000000u)));
    }

    // Notes blocks.
    {
        TVolgaCursor c;
        LoadEmpty(c, {{"A", TFieldType::ftInteger, 0}});
        c.Notes = "hello";
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("A")->SetInt(d, 42);
        Post(c, d);
        const std::string image = Image(c);
        uint32_t sectionLength;
        std::memcpy(&sectionLength, image.data() + 13, 4);
        const size_t notes = 17 + sectionLength;  // the marker
        add("notes", image);
        add("negative notes length", with(image, notes + 1, "\xFF\xFF"));
        add("notes past the end", with(image, notes + 1, "\x40\x00"));
        add("cut in the notes", image.substr(0, notes + 4));
        add("notes marker, no records", with(image, 5, U32(0)).substr(0, notes + 2));
    }
    add("first header byte is the notes marker",
        ImageWithEmptyNotes("XXX.s x\x12\x14", 1, "\x2A" + std::string(42, 'v')));

    // Protected tables: the right password, none, and a cut image.
    {
        TVolgaCursor c;
        LoadEmpty(c, {{"Name", TFieldType::ftString, 20}, {"M", TFieldType::ftMemo, 0}});
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("Name")->SetText(d, "secret value");
        c.FieldByName("M")->SetText(d, "hidden memo");
        Post(c, d);
        Post(c, d);
        c.Notes = "notes";
        c.Password = "pa55";
        const std::string image = Image(c);
        add("protected", image, "pa55");
        add("protected, no password", image);
        add("protected, wrong password", image, "other");
        add("protected, cut in a record", image.substr(0, image.size() - 3), "pa55");
        add("protected, cut in the password block", image.substr(0, 30), "pa55");
    }
    return out;
}

// The seed images of the loader fuzzer (its protected seed uses the password "fuzz").
inline std::vector<NamedImage> CorpusImages(const std::string& dir) {
    std::vector<NamedImage> out;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".d") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        out.push_back({"corpus " + entry.path().filename().string(), ss.str(), "fuzz"});
    }
    return out;
}

}  // namespace malformed
