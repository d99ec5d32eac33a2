#include "TVolgaXMLConverter.h"

#include <cstdint>
#include <string_view>

#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaDataset.h"
#include "TVolgaEnv.h"

namespace {

// Field texts are UTF-8; bytes that do not form a valid character are taken as Windows-1252
// (the code page of old tables) so that the document is valid UTF-8 throughout.
const char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void PutUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at s[i] (its character in `cp`), or 0.
size_t ValidSequence(std::string_view s, size_t i, char32_t& cp) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t len;
    char32_t min;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1F;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0F;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// An attribute value: "&", the double quote, "<" and ">" escaped in that order. Tab, line feed
// and carriage return become character references (a parser would otherwise turn them into
// spaces, and the row would no longer be one line); other control characters, which XML cannot
// carry at all, become U+FFFD, as do U+FFFE and U+FFFF.
void AppendEscaped(std::string_view s, std::string& out) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
                case '&': out += "&amp;"; break;
                case '"': out += "&quot;"; break;
                case '<': out += "&lt;"; break;
                case '>': out += "&gt;"; break;
                case '\t': out += "&#9;"; break;
                case '\n': out += "&#10;"; break;
                case '\r': out += "&#13;"; break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        if (c == 0x7F) out += static_cast<char>(c);
                        else PutUtf8(0xFFFD, out);
                    } else {
                        out += static_cast<char>(c);
                    }
            }
            ++i;
            continue;
        }
        char32_t cp = 0;
        size_t len = ValidSequence(s, i, cp);
        if (len == 0) {
            PutUtf8(c < 0xA0 ? kCp1252High[c - 0x80] : static_cast<char32_t>(c), out);
            ++i;
            continue;
        }
        if (cp == 0xFFFE || cp == 0xFFFF) PutUtf8(0xFFFD, out);
        else out.append(s.substr(i, len));
        i += len;
    }
}

std::string Escape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    AppendEscaped(s, out);
    return out;
}

const char* DatatypeLine(TFieldType type) {
    switch (type) {
        case TFieldType::ftSmallint:
            return "<s:datatype dt:type=\"i2\" dt:maxLength=\"2\" rs:precision=\"5\" "
                   "rs:fixedlength=\"true\"/>";
        case TFieldType::ftInteger:
        case TFieldType::ftAutoInc:
            return "<s:datatype dt:type=\"int\" dt:maxLength=\"4\" rs:precision=\"10\" "
                   "rs:fixedlength=\"true\"/>";
        case TFieldType::ftWord:
            return "<s:datatype dt:type=\"ui2\" dt:maxLength=\"2\" rs:precision=\"5\" "
                   "rs:fixedlength=\"true\"/>";
        case TFieldType::ftBoolean: return "<s:datatype dt:type=\"boolean\"/>";
        case TFieldType::ftFloat:
            return "<s:datatype dt:type=\"float\" dt:maxLength=\"8\" rs:precision=\"19\" "
                   "rs:fixedlength=\"true\"/>";
        case TFieldType::ftCurrency:
            return "<s:datatype dt:type=\"i8\" rs:dbtype=\"currency\" dt:maxLength=\"8\" "
                   "rs:precision=\"19\" rs:fixedlength=\"true\"/>";
        case TFieldType::ftDate: return "<s:datatype dt:type=\"date\"/>";
        case TFieldType::ftTime: return "<s:datatype dt:type=\"time.iso8601\"/>";
        case TFieldType::ftDateTime: return "<s:datatype dt:type=\"datetime.iso8601\"/>";
        default: return nullptr;
    }
}

bool IsBlobDeclared(TFieldType t) {
    return t == TFieldType::ftBlob || t == TFieldType::ftMemo || t == TFieldType::ftGraphic ||
           t == TFieldType::ftFmtMemo;
}

}  // namespace

std::string TVolgaXMLConverter::BuildDocument() {
    TVolgaDataset& ds = *Dataset;
    if (!ds.Active()) ds.Open();
    std::string doc;
    auto line = [&doc](const std::string& text) {
        doc += text;
        doc += "\r\n";
    };
    line("<?xml version=\"1.0\" encoding=\"" + Escape(Encoding) + "\"?>");
    line("<xml xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\"");
    line("xmlns:dt=\"uuid:C2F41010-65B3-11d1-A29F-00AA00C14882\"");
    line("xmlns:rs=\"urn:schemas-microsoft-com:rowset\"");
    line("xmlns:z=\"#RowsetSchema\">");
    line("<s:Schema id=\"RowsetSchema\">");
    line("<s:ElementType name=\"row\" content=\"eltOnly\">");
    const std::string origin = Escape(Origin);
    for (int i = 0; i < ds.FieldCount(); ++i) {
        const TVolgaDataField& f = ds.Field(i);
        const std::string name = Escape(f.FieldName);
        line("<s:AttributeType name=\"" + name + "\" rs:number=\"" + std::to_string(i) + "\"");
        line("rs:basetable=\"" + origin + "\" rs:basecolumn=\"" + name +
             "\" rs:maybenull=\"true\">");
        if (f.DataType == TFieldType::ftString)
            line("<s:datatype dt:type=\"string\" dt:maxLength=\"" + std::to_string(f.Size) + "\"/>");
        else if (const char* dt = DatatypeLine(f.DataType))
            line(dt);
        line("</s:AttributeType>");
    }
    line("</s:ElementType>");
    line("</s:Schema>");
    line("<rs:data>");
    std::vector<int> shown;
    for (int i = 0; i < ds.FieldCount(); ++i)
        if (!IsBlobDeclared(ds.Field(i).DataType)) shown.push_back(i);
    int lastPercent = -1;
    std::string text;
    ds.ForEachRecord([&](int row, int count) {
        if (row == 0) doc.reserve(doc.size() + static_cast<size_t>(count) * (shown.size() * 24 + 10));
        doc += "<z:row";
        for (int i : shown) {
            const TVolgaDataField& f = ds.Field(i);
            doc += ' ';
            doc += f.FieldName;
            doc += "=\"";
            // An empty large integer reads as null but its text would be "0".
            if (f.DataType != TFieldType::ftLargeint || !f.IsNull()) {
                text.clear();
                f.AppendText(text);
                AppendEscaped(text, doc);
            }
            doc += '"';
        }
        doc += "/>\r\n";
        if (OnCallback) {
            int percent = static_cast<int>((static_cast<int64_t>(row + 1) * 100 + count / 2) / count);
            if (percent != lastPercent) {
                lastPercent = percent;
                OnCallback(percent);
            }
        }
    });
    line("</rs:data>");
    line("</xml>");
    return doc;
}

void TVolgaXMLConverter::Run(const std::string& fileName) {
    if (!Dataset || fileName.empty()) return;
    std::string doc = BuildDocument();
    TVolgaDatabase* db = Dataset->Database();
    TVolgaEnv* env = (db && db->Env) ? db->Env : TVolgaEnv::Default();
    std::string error;
    if (!env->WriteFileAtomic(fileName, doc, error))
        throw EVolgaError(
            VolgaFormat("Cannot create file \"%s\". %s", fileName.c_str(), error.c_str()));
}
