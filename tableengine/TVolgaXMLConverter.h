// Writes the records of a dataset as an XML document in the persisted-rowset layout: a schema
// section describing each field, then one empty z:row element per record with the field values
// as attributes.
#pragma once

#include <functional>
#include <string>

class TVolgaDataset;

class TVolgaXMLConverter {
public:
    TVolgaDataset* Dataset = nullptr;  // not owned; must outlive Run
    std::string Origin = "Table";      // written as the base table of every field
    std::string Encoding = "windows-1252";  // the name in the XML declaration
    std::function<void(int percent)> OnCallback;

    // Opens the dataset when it is closed, builds the document and writes it to `fileName`
    // (replacing the file atomically). Does nothing without a dataset or a file name.
    void Run(const std::string& fileName);
    // The document as Run writes it.
    std::string BuildDocument();
};
