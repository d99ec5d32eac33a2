// A dataset whose records are the result of a SELECT statement over table files (or over open
// datasets the query names). Opening reads the tables afresh, evaluates the statement and fills
// the query's own cursor; with an updatable origin, saving writes the result's changes back to
// the origin table's file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "TVolgaDataset.h"
#include "TVolgaQColumn.h"
#include "TVolgaQImage.h"
#include "TVolgaQJoin.h"
#include "TVolgaQParam.h"
#include "TVolgaQStatement.h"
#include "TVolgaQTable.h"

class TVolgaCustomQuery : public TVolgaDataset {
public:
    explicit TVolgaCustomQuery(TVolgaDatabase* database = nullptr);
    ~TVolgaCustomQuery() override;

    // The statement. Changing it closes the query, drops the prepared state and collects the
    // parameters (":name" outside quoted texts); values of parameters that stay are kept.
    const std::string& SQL() const { return sql_; }
    void SetSQL(const std::string& text);

    std::vector<TVolgaQParam>& Params() { return params_; }
    TVolgaQParam* FindParam(const std::string& name);
    TVolgaQParam& ParamByName(const std::string& name);  // "Parameter '%s' not found"

    // Alias of the table that result changes are written back to (with UniqueFieldNames set).
    std::string Origin;

    // Parses the statement and checks it against the tables' names (Open does it when needed).
    void Prepare();
    void Unprepare();
    bool Prepared() const { return prepared_; }
    // True while open over an updatable origin.
    bool Updatable() const { return originTable_ >= 0 && Active(); }
    // The statement text after the parameters were put in (set by Prepare).
    const std::string& PreparedText() const { return preparedText_; }

    // Result columns once open (resolved, "*" expanded, names made unique).
    const std::vector<TVolgaQColumn>& ResultColumns() const { return columns_; }

protected:
    void LoadData() override;
    void ReleaseData() override;
    void SaveModified() override;

    // A dataset the query uses for the table with this alias instead of a file, or null.
    virtual TVolgaDataset* QueryDataset(const std::string& alias) const;
    // Password for protected table files.
    virtual std::string TablePassword() const;

private:
    void PrepareInternal();
    void Evaluate(std::unique_ptr<TVolgaCursor>& result);
    std::string SubstituteParams() const;
    int TableIndex(const std::string& alias) const;
    void ReadTables();
    void ResolveColumns();
    void ResolveConditions();
    void ResolveJoins();
    void LoadTables();
    void BuildTuples(std::vector<TVolgaRecord*>& tuples) const;
    void Merge(const TVolgaQJoin& join, std::vector<TVolgaRecord*>& tuples,
               std::vector<char>& joined) const;
    std::vector<TVolgaRecord*> Candidates(int table) const;
    std::unique_ptr<TVolgaCursor> BuildResult(const std::vector<TVolgaRecord*>& tuples) const;
    void WriteBack();
    void ReleaseTables();

    std::string sql_;
    std::vector<TVolgaQParam> params_;
    bool prepared_ = false;
    std::string preparedText_;
    TVolgaQStatement statement_;
    std::vector<TVolgaQTable> tables_;
    std::vector<TVolgaQJoin> joins_;
    std::vector<TVolgaQColumn> columns_;
    int originTable_ = -1;
    bool folds_ = false;
    // Header-only cursors of the file tables between reading the headers and loading.
    std::vector<std::unique_ptr<TVolgaCursor>> headers_;
    std::vector<TVolgaQImage> images_;
};
