#include "TVolgaTable.h"

#include <algorithm>

#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaQImage.h"

TVolgaTable::TVolgaTable(TVolgaDatabase* database) : TVolgaDataset(database) {}

TVolgaTable::~TVolgaTable() {
    // Clones of this table close and forget their source.
    for (TVolgaTable* clone : std::vector<TVolgaTable*>(clones_)) {
        try {
            clone->Close();
        } catch (...) {
        }
        clone->cloneSource_ = nullptr;
        clone->loadMode_ = TVolgaLoadMode::lmClear;
    }
    clones_.clear();
    try {
        Close();
    } catch (...) {
    }
    if (cloneSource_) std::erase(cloneSource_->clones_, this);
}

void TVolgaTable::SetTableName(const std::string& name) {
    Close();
    tableName_ = name;
    if (Database() && !Database()->DatabasePath().empty()) {
        size_t slash = tableName_.rfind('/');
        if (slash != std::string::npos) tableName_ = tableName_.substr(slash + 1);
    }
    loadMode_ = tableName_.empty() ? TVolgaLoadMode::lmClear : TVolgaLoadMode::lmFile;
}

void TVolgaTable::SetLoadMode(TVolgaLoadMode mode) {
    Close();
    loadMode_ = mode;
}

void TVolgaTable::SetCloneDS(TVolgaTable* source) {
    Close();
    if (cloneSource_) std::erase(cloneSource_->clones_, this);
    cloneSource_ = source;
    loadMode_ = source ? TVolgaLoadMode::lmClone : TVolgaLoadMode::lmClear;
}

void TVolgaTable::SetPassword(const std::string& password) {
    password_ = password;
    if (Active() && cursor_) {
        cursor_->Password = password;
        ChangeCountDelta(+1);
    }
}

std::string TVolgaTable::FileName() const {
    if (!Database() || Database()->DatabasePath().empty() ||
        tableName_.find('/') != std::string::npos)
        return tableName_;
    return Database()->DatabasePath() + tableName_;
}

void TVolgaTable::PrepareCursor(TVolgaCursor& cursor) {
    cursor.Env = (Database() && Database()->Env) ? Database()->Env : TVolgaEnv::Default();
    cursor.Password = password_;
    cursor.PartialOpen = PartialOpen;
    cursor.OnPasswordPrompt = OnPassword;
    cursor.OnProgress = [this](int percent) { NotifyCallback(percent); };
}

void TVolgaTable::LoadData() {
    TVolgaEnv* env = (Database() && Database()->Env) ? Database()->Env : TVolgaEnv::Default();
    auto load = [&](std::string_view image) {
        auto fresh = std::make_unique<TVolgaCursor>();
        PrepareCursor(*fresh);
        std::string message;
        bool ok = headerOnly_ ? fresh->LoadHeader(image, message)
                              : fresh->LoadFromImage(image, message);
        fresh->OnProgress = nullptr;
        if (!ok) Error("Error opening table: " + message);
        password_ = fresh->Password;
        if (ownedCursor_) {
            // A refresh: the cursor object stays (clones point at it), its contents change.
            ownedCursor_->Swap(*fresh);
        } else {
            SetCursor(fresh.release(), true);
        }
        if (!message.empty() && OnShowMessage) OnShowMessage(message);
    };
    switch (loadMode_) {
        case TVolgaLoadMode::lmClear: {
            std::string image = TVolgaCursor::BuildEmptyImage(FieldDefs);
            load(image);
            break;
        }
        case TVolgaLoadMode::lmFile: {
            // Mapped when read through the default environment: the records are built straight
            // from the file's pages, without a copy of the whole file first.
            std::string path = FileName();
            TVolgaQImage image;
            std::string error;
            if (!env->FileExists(path) || !image.Load(env, path, error))
                Error(VolgaFormat("Error opening file %s", path.c_str()));
            load(image.View());
            break;
        }
        case TVolgaLoadMode::lmClone: {
            if (cursor_ && cloneSource_ && cursor_ == cloneSource_->Cursor()) break;  // refresh
            if (!cloneSource_ || !cloneSource_->Active() || !cloneSource_->Cursor())
                Error("Cloned table is not active!");
            SetCursor(cloneSource_->Cursor(), false);
            if (std::find(cloneSource_->clones_.begin(), cloneSource_->clones_.end(), this) ==
                cloneSource_->clones_.end())
                cloneSource_->clones_.push_back(this);
            break;
        }
        case TVolgaLoadMode::lmStream: {
            if (!LoadStream) Error("Loading stream is not assigned");
            load(*LoadStream);
            break;
        }
    }
}

void TVolgaTable::ReleaseData() {
    for (TVolgaTable* clone : clones_)
        if (clone->Active()) Error("Cloned tables are not closed before source dataset is closed!");
}

void TVolgaTable::SaveModified() {
    switch (loadMode_) {
        case TVolgaLoadMode::lmFile:
            cursor_->Env = (Database() && Database()->Env) ? Database()->Env : nullptr;
            cursor_->SaveToFile(FileName(), SaveOptions, (SortOptions() & vsoCaseInsensitive) != 0,
                                IndexFieldNames());
            break;
        case TVolgaLoadMode::lmClone:
            if (cloneSource_ && cloneSource_->Active()) {
                cursor_->Env =
                    (cloneSource_->Database() && cloneSource_->Database()->Env)
                        ? cloneSource_->Database()->Env
                        : nullptr;
                cursor_->SaveToFile(cloneSource_->FileName(), cloneSource_->SaveOptions,
                                    (cloneSource_->SortOptions() & vsoCaseInsensitive) != 0,
                                    cloneSource_->IndexFieldNames());
                cloneSource_->Rebuild();
            }
            break;
        default: break;
    }
}

void TVolgaTable::NotifySharers() {
    TVolgaTable* root = (loadMode_ == TVolgaLoadMode::lmClone && cloneSource_) ? cloneSource_ : this;
    if (root != this && root->Active()) root->ResyncAfterCursorReset();
    for (TVolgaTable* clone : root->clones_)
        if (clone != this && clone->Active()) clone->ResyncAfterCursorReset();
}

void TVolgaTable::CreateTable() {
    SetLoadMode(TVolgaLoadMode::lmClear);
    Open();
    SaveToFile(FileName());
    SetLoadMode(TVolgaLoadMode::lmFile);
    Open();
}

template <class Write>
void TVolgaTable::ExportFile(const Write& write) {
    if (Active()) Error("Table must be closed to export its file");
    if (loadMode_ == TVolgaLoadMode::lmFile) {
        headerOnly_ = true;
        try {
            Open();
        } catch (...) {
            headerOnly_ = false;
            throw;
        }
        headerOnly_ = false;
        streaming_ = calcCount_ == 0 && !filtered_ && indexFieldNames_.empty() && !master_ &&
                     !cursor_->AutoIncField();
        if (!streaming_) Close();
    }
    try {
        Open();  // nothing more for a table already open to be read as it goes
        write();
    } catch (...) {
        streaming_ = false;
        Close();
        throw;
    }
    streaming_ = false;
    Close();
}

void TVolgaTable::ExportFileToText(const std::string& fileName, char separator) {
    ExportFile([&] { ExportToText(fileName, separator); });
}

void TVolgaTable::ExportFileToXML(const std::string& fileName, const std::string& encoding) {
    ExportFile([&] { ExportToXML(fileName, encoding); });
}

void TVolgaTable::ForEachRecord(const std::function<void(int index, int total)>& each) {
    if (!streaming_) {
        TVolgaDataset::ForEachRecord(each);
        return;
    }
    const std::string path = FileName();
    TVolgaCursor reader;
    PrepareCursor(reader);
    TVolgaQImage image;
    std::string error;
    if (!reader.Env->FileExists(path) || !image.Load(reader.Env, path, error))
        Error(VolgaFormat("Error opening file %s", path.c_str()));
    // The file read again has the layout the fields were bound to when the table opened.
    const TVolgaRecordData* savedRead = readOverride_;
    // A record takes at least a length byte per field: no more records than that can follow,
    // whatever the header declares.
    const size_t size = image.View().size();
    auto visit = [&](const TVolgaRecord& record, uint32_t read, uint32_t declared) {
        const size_t most = size / static_cast<size_t>(std::max(1, reader.FieldCount()));
        readOverride_ = &record.Data;
        each(static_cast<int>(read) - 1, static_cast<int>(std::min<size_t>(declared, most)));
    };
    std::string message;
    bool ok;
    try {
        ok = reader.StreamImage(image.View(), message, visit);
    } catch (...) {
        readOverride_ = savedRead;
        throw;
    }
    readOverride_ = savedRead;
    password_ = reader.Password;
    if (!ok) Error("Error opening table: " + message);
    if (!message.empty() && OnShowMessage) OnShowMessage(message);
}
