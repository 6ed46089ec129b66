#pragma once

#include "ui/WindowImplBase.h"

// A window whose layout file is given at construction, read from the resource path set at start-up.
class CXMLWnd : public WindowImplBase {
public:
    explicit CXMLWnd(QString xmlFile) : xmlFile_(std::move(xmlFile)) {}
    QString GetWindowClassName() const override { return QStringLiteral("XMLWnd"); }

protected:
    CDuiString GetSkinFile() override { return xmlFile_; }
    CDuiString GetSkinFolder() override { return CDuiString(); }

private:
    QString xmlFile_;
};
