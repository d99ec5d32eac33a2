#include "TVolgaCursor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "EVolgaError.h"
#include "TSapphire.h"
#include "TVolgaEnv.h"
#include "TVolgaSession.h"
#include "VolgaCompare.h"
#include "VolgaText.h"

namespace {

const char kCorrupt[] = "Buffer structure corruption!";
const char kBadSection[] = "Error in buffer structure (field description section)";
const char kEndOfBuffer[] = "Unexpected end of buffer";
constexpr uint32_t kMaxSectionLength = 99999;
constexpr int32_t kMaxStringLength = 8191;
constexpr int32_t kMaxBlobLength = 1073741823;

// Bounds-checked reader over an image.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), size_(size) {}
    size_t Left() const { return size_ - pos_; }
    size_t Pos() const { return pos_; }
    void Back(size_t n) { pos_ -= n; }
    const uint8_t* Here() const { return p_ + pos_; }
    bool Skip(size_t n) {
        if (Left() < n) return false;
        pos_ += n;
        return true;
    }
    bool U8(uint8_t& v) {
        if (Left() < 1) return false;
        v = p_[pos_++];
        return true;
    }
    bool I16(int16_t& v) { return Raw(&v, 2); }
    bool I32(int32_t& v) { return Raw(&v, 4); }
    bool U32(uint32_t& v) { return Raw(&v, 4); }
    bool Raw(void* dst, size_t n) {
        if (Left() < n) return false;
        std::memcpy(dst, p_ + pos_, n);
        pos_ += n;
        return true;
    }

private:
    const uint8_t* p_;
    size_t size_;
    size_t pos_ = 0;
};

void PutU32(std::string& out, uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
void PutI16(std::string& out, int16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); }
void SetU32(std::string& out, size_t at, uint32_t v) { std::memcpy(out.data() + at, &v, 4); }

char TypeChar(TVolgaFieldType t) {
    switch (t) {
        case TVolgaFieldType::SmallInt: return 'l';
        case TVolgaFieldType::Integer: return 'i';
        case TVolgaFieldType::Int64: return 'e';
        case TVolgaFieldType::Boolean: return 'b';
        case TVolgaFieldType::Double: return 'f';
        case TVolgaFieldType::Currency: return 'c';
        case TVolgaFieldType::Date: return 'd';
        case TVolgaFieldType::Time: return 'v';
        case TVolgaFieldType::DateTime: return 't';
        case TVolgaFieldType::AutoInc: return 'a';
        case TVolgaFieldType::BLOB: return 'o';
        case TVolgaFieldType::Memo: return 'm';
        case TVolgaFieldType::FmtMemo: return 'r';
        case TVolgaFieldType::Graphic: return 'g';
        default: return 's';
    }
}

char SmallStrLengthChar(int len) {
    return static_cast<char>(len < 10 ? '0' + len : 'A' + (len - 10));
}

// One description entry: "XXX.Name t", with the attribute part when default or extra is set.
void AppendEntry(std::string& out, const std::string& alias, const std::string& name,
                 TVolgaFieldType type, int size, const std::string& def, const std::string& extra,
                 bool unknownType) {
    out += alias;
    out += '.';
    for (char c : name) out += (c == ' ') ? '_' : c;
    out += ' ';
    if (type == TVolgaFieldType::SmallStr) {
        out += SmallStrLengthChar(size);
    } else if (unknownType) {
        out += 's';
    } else {
        out += TypeChar(type);
        if (type == TVolgaFieldType::String) out += std::to_string(size);
    }
    if (!def.empty() || !extra.empty()) {
        out += '~';
        out += def;
        out += '~';
        out += extra;
    }
    out += '\x12';
}

std::string NewGuidText() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    uint64_t a = rng(), b = rng();
    a = (a & 0xFFFFFFFFFFFF0FFFull) | 0x4000ull;          // version 4
    b = (b & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;  // variant
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                  static_cast<unsigned>(b >> 48),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return std::string(buf, 38);
}

bool BlockFits(const uint8_t block[40], const std::string& candidate, std::string& dataKey) {
    uint8_t copy[40];
    std::memcpy(copy, block, 40);
    TSapphire cipher(candidate);
    cipher.Decipher(copy, 38);
    if (VolgaCrc16(copy, 40) != 0 || copy[0] != '{' || copy[37] != '}') return false;
    dataKey.assign(reinterpret_cast<const char*>(copy), 38);
    return true;
}

}  // namespace

TVolgaCursor::TVolgaCursor() = default;
TVolgaCursor::~TVolgaCursor() = default;

std::string TVolgaCursor::BuildEmptyImage(const std::vector<TVolgaFieldDef>& defs) {
    if (defs.empty()) throw EVolgaError("Error creating table (no field descriptions)");
    std::string section;
    for (const TVolgaFieldDef& d : defs) {
        TVolgaFieldType t = EngineTypeOf(d.DataType, d.Size);
        AppendEntry(section, "XXX", d.Name, t, d.Size, std::string(), std::string(),
                    t == TVolgaFieldType::Unknown);
    }
    section += '\x14';
    std::string image;
    PutU32(image, static_cast<uint32_t>(section.size() + 17));
    image += 'S';
    PutU32(image, 0);
    PutU32(image, static_cast<uint32_t>(defs.size()));
    PutU32(image, static_cast<uint32_t>(section.size()));
    image += section;
    return image;
}

void TVolgaCursor::Clear() {
    fields_.clear();
    records_.clear();
    sectionText_.clear();
    Notes.clear();
    recordSize_ = 0;
    varCount_ = 0;
    autoIncField_ = nullptr;
    lastAutoInc_ = 0;
}

void TVolgaCursor::Swap(TVolgaCursor& o) {
    std::swap(fields_, o.fields_);
    std::swap(records_, o.records_);
    std::swap(sectionText_, o.sectionText_);
    std::swap(recordSize_, o.recordSize_);
    std::swap(varCount_, o.varCount_);
    std::swap(autoIncField_, o.autoIncField_);
    std::swap(lastAutoInc_, o.lastAutoInc_);
    std::swap(Notes, o.Notes);
    std::swap(Password, o.Password);
    std::swap(PasswordBlock, o.PasswordBlock);
}

void TVolgaCursor::ClearRecords() { records_.clear(); }

void TVolgaCursor::AddField(std::unique_ptr<TVolgaField> f) {
    f->Index = static_cast<int>(fields_.size());
    fields_.push_back(std::move(f));
}

void TVolgaCursor::Layout() {
    recordSize_ = 0;
    varCount_ = 0;
    autoIncField_ = nullptr;
    for (auto& f : fields_) {
        f->Offset = static_cast<int32_t>(recordSize_);
        recordSize_ += f->DataSize;
        f->VarIndex = IsVarType(f->DataType) ? static_cast<int>(varCount_++) : -1;
        if (!autoIncField_ && f->DataType == TVolgaFieldType::AutoInc) autoIncField_ = f.get();
    }
}

bool TVolgaCursor::ParseSection(std::string_view section, uint32_t fieldCount) {
    size_t pos = 0;
    for (uint32_t i = 0; i < fieldCount; ++i) {
        size_t end = section.find('\x12', pos);
        if (end == std::string_view::npos || end == pos) return false;
        std::string_view entry = section.substr(pos, end - pos);
        pos = end + 1;
        size_t space = entry.find(' ');
        if (space == std::string_view::npos || space + 1 >= entry.size()) return false;
        std::string_view namePart = entry.substr(0, space);
        std::string_view typePart = entry.substr(space + 1);
        auto f = std::make_unique<TVolgaField>();
        size_t dot = namePart.find('.');
        if (dot == std::string_view::npos) {
            f->Alias = "XXX";
            f->Name = std::string(namePart);
        } else {
            f->Alias = std::string(namePart.substr(0, dot));
            f->Name = std::string(namePart.substr(dot + 1));
        }
        if (f->Name.empty()) return false;
        // Attributes: "~default~extra"; a single tilde introduces the extra text.
        size_t t1 = typePart.find('~');
        std::string_view typeText = typePart.substr(0, t1);
        if (t1 != std::string_view::npos) {
            std::string_view attrs = typePart.substr(t1 + 1);
            size_t t2 = attrs.find('~');
            if (t2 == std::string_view::npos) {
                f->Extra = std::string(attrs);
            } else {
                f->DefaultValue = std::string(attrs.substr(0, t2));
                f->Extra = std::string(attrs.substr(t2 + 1));
            }
        }
        if (typeText.empty()) return false;
        char tc = typeText[0];
        switch (tc) {
            case 'l': f->SetType(TVolgaFieldType::SmallInt, 0); break;
            case 'i': f->SetType(TVolgaFieldType::Integer, 0); break;
            case 'e': f->SetType(TVolgaFieldType::Int64, 0); break;
            case 'b': f->SetType(TVolgaFieldType::Boolean, 0); break;
            case 'f': f->SetType(TVolgaFieldType::Double, 0); break;
            case 'c': f->SetType(TVolgaFieldType::Currency, 0); break;
            case 'd': f->SetType(TVolgaFieldType::Date, 0); break;
            case 'v': f->SetType(TVolgaFieldType::Time, 0); break;
            case 't': f->SetType(TVolgaFieldType::DateTime, 0); break;
            case 'a': f->SetType(TVolgaFieldType::AutoInc, 0); break;
            case 'o': f->SetType(TVolgaFieldType::BLOB, 0); break;
            case 'm': f->SetType(TVolgaFieldType::Memo, 0); break;
            case 'r': f->SetType(TVolgaFieldType::FmtMemo, 0); break;
            case 'g': f->SetType(TVolgaFieldType::Graphic, 0); break;
            case 's': {
                int len = 100;
                if (typeText.size() > 1) {
                    len = 0;
                    for (size_t k = 1; k < typeText.size(); ++k) {
                        char c = typeText[k];
                        if (c < '0' || c > '9' || len > 100000) return false;
                        len = len * 10 + (c - '0');
                    }
                    if (len > 32767) return false;
                }
                f->SetType(TVolgaFieldType::String, len);
                break;
            }
            default: {
                auto uc = static_cast<unsigned char>(tc);
                int len = (uc >= '0' && uc <= '9') ? uc - 48 : uc - 55;
                // A length outside what a record header byte can describe cannot be valid.
                if (len < 0 || len > 254) return false;
                f->SetType(TVolgaFieldType::SmallStr, len);
                break;
            }
        }
        AddField(std::move(f));
    }
    return true;
}

bool TVolgaCursor::FindPassword(std::string& dataKey) {
    if (!Password.empty() && BlockFits(PasswordBlock, Password, dataKey)) {
        TVolgaSession::Instance().AddPassword(Password);
        return true;
    }
    for (const std::string& p : TVolgaSession::Instance().Passwords()) {
        if (BlockFits(PasswordBlock, p, dataKey)) {
            Password = p;
            return true;
        }
    }
    if (OnPasswordPrompt) {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            std::string entered;
            if (!OnPasswordPrompt(entered, attempt)) break;
            if (BlockFits(PasswordBlock, entered, dataKey)) {
                Password = entered;
                TVolgaSession::Instance().AddPassword(entered);
                return true;
            }
        }
    }
    return false;
}

namespace {

// What the record walk needs of the fields, in flat arrays.
struct FieldStep {
    const TVolgaField* Field;
    int32_t Offset;
    int32_t VarIndex;  // -1: a fixed-size value, kept in the record's bytes
    int32_t MaxCount;  // String and BLOB family: the longest value a record may hold
};

struct RecordPlan {
    std::vector<FieldStep> Steps;
    // A header byte `len` is valid when len <= HeaderMax[i] and (len & HeaderMask[i]) == 0:
    // fixed-size fields take up to their buffer size, String and BLOB-family fields 0 or 4.
    std::vector<uint8_t> HeaderMax, HeaderMask;

    explicit RecordPlan(const std::vector<std::unique_ptr<TVolgaField>>& fields) {
        for (const auto& f : fields) {
            const bool var = IsVarType(f->DataType);
            Steps.push_back({f.get(), f->Offset, var ? f->VarIndex : -1,
                             f->DataType == TVolgaFieldType::String ? kMaxStringLength
                                                                    : kMaxBlobLength});
            HeaderMax.push_back(var ? 4 : static_cast<uint8_t>(std::min<int>(f->DataSize, 255)));
            HeaderMask.push_back(var ? 3 : 0);
        }
    }
};

// Reads records until `declared` were read or fewer bytes are left than a record header takes,
// making every check of the record format, and hands each record to `sink`:
//   sink.Begin()                        a record starts (its header is valid)
//   sink.Fixed(step, bytes, length)     a fixed-size value (length 0: the value is empty)
//   sink.Var(step, bytes, count)        a String or BLOB-family value
//   sink.End(recordsRead, storedSize)   the record is complete
// Returns the number of records read. At the first fault `error` is set and the walk stops; the
// faulty record is not counted.
template <class Sink>
uint32_t WalkRecords(Reader& rd, uint32_t declared, const RecordPlan& plan, Sink& sink,
                     std::string& error) {
    const size_t n = plan.Steps.size();
    const FieldStep* steps = plan.Steps.data();
    const uint8_t* headerMax = plan.HeaderMax.data();
    const uint8_t* headerMask = plan.HeaderMask.data();
    uint32_t read = 0;
    while (read < declared && rd.Left() >= n) {
        const int recNo = static_cast<int>(read) + 1;
        const uint8_t* header = rd.Here();
        rd.Skip(n);
        // All lengths at once; the first wrong one is looked for only when there is one.
        unsigned bad = 0;
        for (size_t i = 0; i < n; ++i)
            bad |= static_cast<unsigned>(header[i] > headerMax[i]) | (header[i] & headerMask[i]);
        if (bad) {
            size_t i = 0;
            while (header[i] <= headerMax[i] && (header[i] & headerMask[i]) == 0) ++i;
            error = VolgaFormat("Field '%s' has wrong length %d in record %d",
                                steps[i].Field->Name.c_str(), header[i], recNo);
            return read;
        }
        sink.Begin();
        for (size_t i = 0; i < n; ++i) {
            const uint8_t len = header[i];
            const FieldStep& s = steps[i];
            if (s.VarIndex < 0) {  // an empty value (length 0) goes the same way
                if (rd.Left() < len) {
                    error = kEndOfBuffer;
                    return read;
                }
                sink.Fixed(s, rd.Here(), len);
                rd.Skip(len);
                continue;
            }
            if (len == 0) continue;
            int32_t count;
            if (!rd.I32(count)) {
                error = kEndOfBuffer;
                return read;
            }
            if (count < 0 || count > s.MaxCount) {
                error = s.Field->DataType == TVolgaFieldType::String
                            ? VolgaFormat("String field '%s' has wrong length %d in record %d",
                                          s.Field->Name.c_str(), count, recNo)
                            : VolgaFormat("BLOB field '%s' has wrong length %d in record %d",
                                          s.Field->Name.c_str(), count, recNo);
                return read;
            }
            if (rd.Left() < static_cast<size_t>(count)) {
                error = kEndOfBuffer;
                return read;
            }
            sink.Var(s, rd.Here(), static_cast<size_t>(count));
            rd.Skip(static_cast<size_t>(count));
        }
        ++read;
        sink.End(read, static_cast<int32_t>(rd.Here() - header));
    }
    return read;
}

// Copies a fixed-size value (at most 255 bytes) in a few wide moves. A memcpy of a length the
// compiler knows to be small may be expanded into "rep movsb", which takes tens of cycles per
// call on many processors: too slow for the millions of values of a large table.
inline void CopyValue(uint8_t* dst, const uint8_t* src, size_t n) {
    auto move = [](uint8_t* d, const uint8_t* s, auto word) {
        std::memcpy(&word, s, sizeof word);
        std::memcpy(d, &word, sizeof word);
    };
    if (n >= 16) {
        struct Block {
            uint64_t a, b;
        };
        for (size_t i = 0; i + 16 < n; i += 16) move(dst + i, src + i, Block{});
        move(dst + n - 16, src + n - 16, Block{});
    } else if (n >= 8) {  // two moves that may overlap
        move(dst, src, uint64_t{});
        move(dst + n - 8, src + n - 8, uint64_t{});
    } else if (n >= 4) {
        move(dst, src, uint32_t{});
        move(dst + n - 4, src + n - 4, uint32_t{});
    } else if (n >= 2) {
        move(dst, src, uint16_t{});
        move(dst + n - 2, src + n - 2, uint16_t{});
    } else if (n == 1) {
        *dst = *src;
    }
}

// Builds a record object per record read and keeps those the load hook accepts.
class KeepRecords {
public:
    KeepRecords(TVolgaCursor& cursor, std::vector<std::unique_ptr<TVolgaRecord>>& records,
                uint32_t declared)
        : cursor_(cursor), records_(records), declared_(declared) {}

    void Begin() {
        // A record the hook rejected leaves its object for the next one.
        if (!rec_) rec_ = std::make_unique<TVolgaRecord>();
        rec_->Data.Reset(cursor_.RecordSize(), cursor_.VarCount());
    }
    void Fixed(const FieldStep& s, const uint8_t* bytes, size_t length) {
        CopyValue(rec_->Data.Bytes.data() + s.Offset, bytes, length);
    }
    void Var(const FieldStep& s, const uint8_t* bytes, size_t count) {
        rec_->Data.Vars[static_cast<size_t>(s.VarIndex)].assign(
            reinterpret_cast<const char*>(bytes), count);
    }
    void End(uint32_t read, int32_t storedSize) {
        rec_->Status = TVolgaRecordStatus::rsUnchanged;
        rec_->StoredSize = storedSize;
        if (!cursor_.OnLoadRecord || cursor_.OnLoadRecord(cursor_, *rec_))
            records_.push_back(std::move(rec_));
        if (cursor_.OnProgress && declared_ > 0) {
            int percent = static_cast<int>((uint64_t{read} * 100 + declared_ / 2) / declared_);
            if (percent != lastPercent_) {
                lastPercent_ = percent;
                cursor_.OnProgress(percent);
            }
        }
    }

private:
    TVolgaCursor& cursor_;
    std::vector<std::unique_ptr<TVolgaRecord>>& records_;
    std::unique_ptr<TVolgaRecord> rec_;
    uint32_t declared_;
    int lastPercent_ = -1;
};

// Builds nothing: the walk only checks the records and counts them.
struct CountRecords {
    void Begin() {}
    void Fixed(const FieldStep&, const uint8_t*, size_t) {}
    void Var(const FieldStep&, const uint8_t*, size_t) {}
    void End(uint32_t, int32_t) {}
};

// Fills one record object again for every record and shows it to the visitor.
class VisitRecords {
public:
    VisitRecords(TVolgaCursor& cursor, const TVolgaCursor::RecordVisitor& each, uint32_t declared)
        : cursor_(cursor), each_(each), declared_(declared) {}

    void Begin() { rec_.Data.Reset(cursor_.RecordSize(), cursor_.VarCount()); }
    void Fixed(const FieldStep& s, const uint8_t* bytes, size_t length) {
        CopyValue(rec_.Data.Bytes.data() + s.Offset, bytes, length);
    }
    void Var(const FieldStep& s, const uint8_t* bytes, size_t count) {
        rec_.Data.Vars[static_cast<size_t>(s.VarIndex)].assign(reinterpret_cast<const char*>(bytes),
                                                               count);
    }
    void End(uint32_t read, int32_t storedSize) {
        rec_.StoredSize = storedSize;
        each_(rec_, read, declared_);
    }

private:
    TVolgaCursor& cursor_;
    const TVolgaCursor::RecordVisitor& each_;
    uint32_t declared_;
    TVolgaRecord rec_;
};

}  // namespace

bool TVolgaCursor::LoadFromImage(std::string_view image, std::string& message) {
    return LoadInternal(image, message, LoadMode::Records, nullptr);
}

bool TVolgaCursor::LoadHeader(std::string_view image, std::string& message) {
    return LoadInternal(image, message, LoadMode::Header, nullptr);
}

bool TVolgaCursor::CheckImage(std::string_view image, std::string& message, int& recordCount) {
    uint32_t read = 0;
    const bool ok = LoadInternal(image, message, LoadMode::Check, &read);
    recordCount = ok ? static_cast<int>(read) : 0;
    return ok;
}

bool TVolgaCursor::StreamImage(std::string_view image, std::string& message,
                               const RecordVisitor& each) {
    uint32_t read = 0;
    return LoadInternal(image, message, LoadMode::Stream, &read, &each);
}

bool TVolgaCursor::LoadInternal(std::string_view imageIn, std::string& message, LoadMode mode,
                                uint32_t* checked, const RecordVisitor* each) {
    Clear();
    message.clear();
    // The image is deciphered in place for protected tables, so work on a copy then.
    std::string owned;
    const uint8_t* data = reinterpret_cast<const uint8_t*>(imageIn.data());
    Reader rd(data, imageIn.size());
    auto fail = [&](const std::string& why) {
        message = why;
        Clear();
        return false;
    };

    uint32_t totalLength;
    uint8_t kind;
    if (!rd.U32(totalLength) || !rd.U8(kind)) return fail(kCorrupt);
    if (kind == 'E') {
        std::string text(imageIn.substr(rd.Pos()));
        return fail(text.empty() ? std::string(kCorrupt) : text);
    }
    if (kind != 'P' && kind != 'S') return fail(kCorrupt);
    if (kind == 'P') {
        if (!rd.Raw(PasswordBlock, 40)) return fail(kCorrupt);
    } else {
        std::memset(PasswordBlock, 0, sizeof PasswordBlock);
    }
    std::string dataKey;
    if (kind == 'P' && mode != LoadMode::Header) {
        std::string keepPassword = Password;
        if (!FindPassword(dataKey)) {
            Password = keepPassword;
            return fail("Invalid password. Table cannot be open");
        }
    }
    uint32_t declared, fieldCount, sectionLength;
    if (!rd.U32(declared) || !rd.U32(fieldCount) || !rd.U32(sectionLength)) return fail(kCorrupt);
    if (sectionLength > kMaxSectionLength) return fail(kCorrupt);
    if (rd.Left() < sectionLength) return fail(kCorrupt);
    std::string_view section(reinterpret_cast<const char*>(rd.Here()), sectionLength);
    rd.Skip(sectionLength);
    // Each entry takes at least two bytes, so a count beyond that cannot be right.
    if (fieldCount == 0 || fieldCount > sectionLength / 2 || !ParseSection(section, fieldCount))
        return fail(kBadSection);
    sectionText_ = std::string(section);
    Layout();
    if (mode == LoadMode::Header) return true;

    if (kind == 'P') {
        size_t start = rd.Pos();
        owned.assign(imageIn.data(), imageIn.size());
        data = reinterpret_cast<const uint8_t*>(owned.data());
        TSapphire cipher(dataKey);
        cipher.Decipher(reinterpret_cast<uint8_t*>(owned.data()) + start, owned.size() - start);
        rd = Reader(data, owned.size());
        rd.Skip(start);
    }

    const size_t n = fieldCount;
    // Notes block.
    if (rd.Left() >= (declared == 0 ? 3 : n) && rd.Left() >= 1 && *rd.Here() == '*') {
        rd.Skip(1);
        int16_t notesLength;
        if (!rd.I16(notesLength) || notesLength < 0 ||
            rd.Left() < static_cast<size_t>(notesLength))
            return fail(kCorrupt);
        Notes.assign(reinterpret_cast<const char*>(rd.Here()), static_cast<size_t>(notesLength));
        rd.Skip(static_cast<size_t>(notesLength));
    }

    const RecordPlan plan(fields_);
    std::string error;
    uint32_t read;
    if (mode == LoadMode::Check) {
        CountRecords sink;
        read = WalkRecords(rd, declared, plan, sink, error);
    } else if (mode == LoadMode::Stream) {
        VisitRecords sink(*this, *each, declared);
        read = WalkRecords(rd, declared, plan, sink, error);
    } else {
        // Never reserve more than the bytes left could hold.
        records_.reserve(std::min<size_t>(declared, rd.Left() / n + 1));
        KeepRecords sink(*this, records_, declared);
        read = WalkRecords(rd, declared, plan, sink, error);
    }
    if (error.empty() && read != declared) {
        error = VolgaFormat("Number of records read (%d) does not match declared record count (%d)",
                            static_cast<int>(read), static_cast<int>(declared));
    }
    if (!error.empty()) {
        if (PartialOpen && read > 0) {
            message = error;
        } else {
            return fail(error);
        }
    }
    if (mode == LoadMode::Check || mode == LoadMode::Stream) {
        *checked = read;
        return true;
    }
    records_.shrink_to_fit();

    if (autoIncField_) {
        const TVolgaField* ai = autoIncField_;
        std::stable_sort(records_.begin(), records_.end(),
                         [ai](const std::unique_ptr<TVolgaRecord>& a,
                              const std::unique_ptr<TVolgaRecord>& b) {
                             return ai->GetInt(a->Data) < ai->GetInt(b->Data);
                         });
        lastAutoInc_ = 0;
        if (!records_.empty()) {
            int64_t last = ai->GetInt(records_.back()->Data);
            lastAutoInc_ = last < 0 ? 0 : static_cast<int32_t>(last);
        }
    }
    return true;
}

int32_t TVolgaCursor::ComputeStoredSize(const TVolgaRecordData& d) const {
    size_t size = fields_.size();
    for (const auto& fp : fields_) {
        const TVolgaField& f = *fp;
        switch (f.DataType) {
            case TVolgaFieldType::SmallInt:
            case TVolgaFieldType::Boolean:
            case TVolgaFieldType::Integer:
            case TVolgaFieldType::Date:
            case TVolgaFieldType::Time:
            case TVolgaFieldType::AutoInc:
            case TVolgaFieldType::Int64:
                if (f.GetInt(d) != 0) size += f.DataSize;
                break;
            case TVolgaFieldType::Double:
            case TVolgaFieldType::Currency:
            case TVolgaFieldType::DateTime:
                if (f.GetFloat(d) != 0.0) size += 8;
                break;
            case TVolgaFieldType::SmallStr: {
                const char* p = reinterpret_cast<const char*>(d.Bytes.data() + f.Offset);
                size += strnlen(p, f.DataSize);
                break;
            }
            default: {
                size_t len = d.Vars[static_cast<size_t>(f.VarIndex)].size();
                if (len > 0) size += 4 + len;
                break;
            }
        }
    }
    return static_cast<int32_t>(size);
}

size_t TVolgaCursor::EstimatedImageSize() const {
    size_t size = 5 + 12 + sectionText_.size() + (Password.empty() ? 0 : 40);
    if (!Notes.empty()) size += Notes.size() + 3;
    for (const auto& r : records_)
        if (r->IsLive()) size += static_cast<size_t>(r->StoredSize);
    return size;
}

size_t TVolgaCursor::BuildImage(std::string& out) {
    const size_t start = out.size();
    out.reserve(start + EstimatedImageSize());
    const bool protectedTable = !Password.empty();
    PutU32(out, 0);
    out += protectedTable ? 'P' : 'S';
    std::string dataKey;
    if (protectedTable) {
        dataKey = NewGuidText();
        uint8_t block[40];
        std::memcpy(block, dataKey.data(), 38);
        uint16_t crc = VolgaCrc16(block, 38);
        TSapphire cipher(Password);
        cipher.Encipher(block, 38);
        block[38] = static_cast<uint8_t>(crc & 0xFF);
        block[39] = static_cast<uint8_t>(crc >> 8);
        std::memcpy(PasswordBlock, block, 40);
        out.append(reinterpret_cast<const char*>(block), 40);
        TVolgaSession::Instance().AddPassword(Password);
    }
    const size_t countPos = out.size();
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(fields_.size()));
    std::string section;
    for (const auto& f : fields_)
        AppendEntry(section, f->Alias, f->Name, f->DataType, f->Size, f->DefaultValue, f->Extra,
                    false);
    section += '\x14';
    sectionText_ = section;
    PutU32(out, static_cast<uint32_t>(section.size()));
    out += section;
    const size_t cipherStart = out.size();
    // A first record whose first header byte is the notes marker (a SmallStr declared longer
    // than 35 holding 42 bytes) would be read back as notes: an empty notes block in front of
    // it keeps the records readable.
    bool markerClash = false;
    if (Notes.empty() && !fields_.empty()) {
        for (const auto& rp : records_) {
            if (!rp->IsLive()) continue;
            const TVolgaField& f0 = *fields_[0];
            if (f0.DataType == TVolgaFieldType::SmallStr) {
                const char* p = reinterpret_cast<const char*>(rp->Data.Bytes.data() + f0.Offset);
                markerClash = strnlen(p, f0.DataSize) == 0x2A;
            }
            break;
        }
    }
    if (markerClash) {
        out += '*';
        PutI16(out, 0);
    }
    if (!Notes.empty()) {
        out += '*';
        size_t len = std::min<size_t>(Notes.size(), 32767);
        PutI16(out, static_cast<int16_t>(len));
        out.append(Notes, 0, len);
    }
    uint32_t written = 0;
    const size_t n = fields_.size();
    size_t handled = 0;
    int lastPercent = -1;
    for (const auto& rp : records_) {
        ++handled;
        if (!rp->IsLive()) continue;
        const TVolgaRecordData& d = rp->Data;
        const size_t headerPos = out.size();
        out.append(n, '\0');
        for (size_t i = 0; i < n; ++i) {
            const TVolgaField& f = *fields_[i];
            uint8_t len = 0;
            switch (f.DataType) {
                case TVolgaFieldType::SmallInt:
                case TVolgaFieldType::Boolean:
                case TVolgaFieldType::Integer:
                case TVolgaFieldType::Date:
                case TVolgaFieldType::Time:
                case TVolgaFieldType::AutoInc:
                case TVolgaFieldType::Int64:
                    if (f.GetInt(d) != 0) {
                        len = static_cast<uint8_t>(f.DataSize);
                        out.append(reinterpret_cast<const char*>(d.Bytes.data() + f.Offset), len);
                    }
                    break;
                case TVolgaFieldType::Double:
                case TVolgaFieldType::Currency:
                case TVolgaFieldType::DateTime:
                    if (f.GetFloat(d) != 0.0) {
                        len = 8;
                        out.append(reinterpret_cast<const char*>(d.Bytes.data() + f.Offset), 8);
                    }
                    break;
                case TVolgaFieldType::SmallStr: {
                    const char* p = reinterpret_cast<const char*>(d.Bytes.data() + f.Offset);
                    size_t tl = strnlen(p, f.DataSize);
                    if (tl > 0) {
                        len = static_cast<uint8_t>(tl);
                        out.append(p, tl);
                    }
                    break;
                }
                default: {
                    const std::string& v = d.Vars[static_cast<size_t>(f.VarIndex)];
                    if (!v.empty()) {
                        len = 4;
                        PutU32(out, static_cast<uint32_t>(v.size()));
                        out += v;
                    }
                    break;
                }
            }
            out[headerPos + i] = static_cast<char>(len);
        }
        ++written;
        if (OnProgress) {
            int percent = static_cast<int>(handled * 100 / records_.size());
            if (percent != lastPercent) {
                lastPercent = percent;
                OnProgress(percent);
            }
        }
    }
    SetU32(out, countPos, written);
    SetU32(out, start, static_cast<uint32_t>(out.size() - start));
    if (protectedTable) {
        TSapphire cipher(dataKey);
        cipher.Encipher(reinterpret_cast<uint8_t*>(out.data()) + cipherStart,
                        out.size() - cipherStart);
    }
    return out.size() - start;
}

void TVolgaCursor::SaveToFile(const std::string& fileName, TVolgaSaveOptions options,
                              bool caseInsensitive, const std::string& indexFieldNames) {
    TVolgaEnv* env = Env ? Env : TVolgaEnv::Default();
    std::string error;
    if ((options & savAutoBackup) && env->FileExists(fileName)) {
        std::string backup = fileName;
        size_t slash = backup.rfind('/');
        size_t dot = backup.rfind('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            backup.resize(dot);
        backup += ".~d";
        if (!env->CopyFile(fileName, backup, error))
            throw EVolgaError(VolgaFormat("Cannot create file \"%s\". %s", backup.c_str(),
                                          error.c_str()));
    }
    if (options & savSortOnIndex) SortRecords(indexFieldNames, caseInsensitive);
    std::string image;
    BuildImage(image);
    if (!env->WriteFileAtomic(fileName, image, error))
        throw EVolgaError(
            VolgaFormat("Cannot create file \"%s\". %s", fileName.c_str(), error.c_str()));
}

TVolgaField* TVolgaCursor::FieldByName(std::string_view name) const {
    for (const auto& f : fields_)
        if (VolgaSameTextCI(f->Name, name)) return f.get();
    return nullptr;
}

std::vector<TVolgaField*> TVolgaCursor::FieldList(std::string_view names) const {
    std::vector<TVolgaField*> out;
    size_t pos = 0;
    while (pos <= names.size()) {
        size_t end = names.find(';', pos);
        if (end == std::string_view::npos) end = names.size();
        std::string name = VolgaTrim(names.substr(pos, end - pos));
        if (!name.empty()) {
            TVolgaField* f = FieldByName(name);
            if (f && !IsBlobType(f->DataType)) out.push_back(f);
        }
        pos = end + 1;
    }
    return out;
}

TVolgaRecordData TVolgaCursor::NewBuffer() const {
    TVolgaRecordData d;
    d.Reset(recordSize_, varCount_);
    return d;
}

TVolgaRecord* TVolgaCursor::PostRecord(const TVolgaRecordData& source, TVolgaRecord* existing,
                                       std::string& message) {
    if (!existing) {
        auto rec = std::make_unique<TVolgaRecord>();
        rec->Data = source;
        if (autoIncField_) autoIncField_->SetInt(rec->Data, ++lastAutoInc_);
        rec->Status = TVolgaRecordStatus::rsInserted;
        rec->StoredSize = ComputeStoredSize(rec->Data);
        records_.push_back(std::move(rec));
        return records_.back().get();
    }
    auto it = std::find_if(records_.begin(), records_.end(),
                           [existing](const auto& r) { return r.get() == existing; });
    if (it == records_.end()) {
        message = "Record is not found";
        return nullptr;
    }
    if (!existing->IsLive()) {
        message = "Record has been deleted";
        return nullptr;
    }
    TVolgaRecordData copy = source;
    if (autoIncField_)  // the engine owns the AutoInc value
        autoIncField_->SetInt(copy, autoIncField_->GetInt(existing->Data));
    existing->Data = std::move(copy);
    if (existing->Status == TVolgaRecordStatus::rsUnchanged)
        existing->Status = TVolgaRecordStatus::rsModified;
    existing->StoredSize = ComputeStoredSize(existing->Data);
    return existing;
}

bool TVolgaCursor::DeleteRecord(TVolgaRecord* record, std::string& message) {
    auto it = std::find_if(records_.begin(), records_.end(),
                           [record](const auto& r) { return r.get() == record; });
    if (it == records_.end()) {
        message = "Record is not found";
        return false;
    }
    if (!record->IsLive()) {
        message = "Record has been deleted";
        return false;
    }
    if (record->Status == TVolgaRecordStatus::rsInserted) {
        // The values are kept: other datasets over the same records may still show it until
        // their next rebuild.
        record->Status = TVolgaRecordStatus::rsDiscarded;
        record->Backup.reset();
    } else {
        record->Status = TVolgaRecordStatus::rsDeleted;
    }
    return true;
}

void TVolgaCursor::BackupRecord(TVolgaRecord* record) {
    if (!record->Backup) record->Backup = std::make_unique<TVolgaRecordData>(record->Data);
}

void TVolgaCursor::RestoreRecord(TVolgaRecord* record) {
    if (record->Backup) {
        record->Data = *record->Backup;
        record->StoredSize = ComputeStoredSize(record->Data);
    }
    if (record->IsLive() && record->Status != TVolgaRecordStatus::rsInserted)
        record->Status = TVolgaRecordStatus::rsUnchanged;
}

void TVolgaCursor::UndoAllChanges() {
    for (auto& r : records_) {
        switch (r->Status) {
            case TVolgaRecordStatus::rsModified:
            case TVolgaRecordStatus::rsDeleted:
                if (r->Backup) {
                    r->Data = *r->Backup;
                    r->StoredSize = ComputeStoredSize(r->Data);
                }
                r->Status = TVolgaRecordStatus::rsUnchanged;
                break;
            case TVolgaRecordStatus::rsInserted:
                r->Status = TVolgaRecordStatus::rsDiscarded;
                break;
            default: break;
        }
        r->Backup.reset();
    }
}

void TVolgaCursor::CommitAllChanges() {
    for (auto& r : records_) {
        if (r->Status == TVolgaRecordStatus::rsDeleted) {
            r->Status = TVolgaRecordStatus::rsDiscarded;
        } else if (r->Status != TVolgaRecordStatus::rsDiscarded) {
            r->Status = TVolgaRecordStatus::rsUnchanged;
        }
        r->Backup.reset();
    }
}

void TVolgaCursor::SortRecords(const std::string& indexFieldNames, bool caseInsensitive) {
    std::vector<TVolgaField*> keys = FieldList(indexFieldNames);
    if (keys.empty()) return;
    std::stable_sort(records_.begin(), records_.end(),
                     [&](const std::unique_ptr<TVolgaRecord>& a,
                         const std::unique_ptr<TVolgaRecord>& b) {
                         return VolgaCompareRecords(keys, a->Data, b->Data, caseInsensitive) < 0;
                     });
}
