// What the grid framework's tests share: a company whose issue file holds generated
// issues, a query on it (every field, the attachments column), a grid view definition, and a
// window with a grid that a view control is made on. Message boxes are answered by
// script; the texts shown are checked.
#pragma once

#include "IssueGenerator.h"
#include "TestApplication.h"
#include "TestCompany.h"

#include "kwdm/callbacks/kwdmCallbackManager.h"
#include "kwdm/callbacks/kwdmEvents.h"
#include "kwdm/data/kwdmAudit.h"
#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/kwdmObjectManager.h"
#include "kwdm/model/kwdmTableModel.h"
#include "kwdm/query/kwdmAttachmentsQueryColumn.h"
#include "kwdm/query/kwdmQuery.h"
#include "kwdm/query/kwdmTable.h"
#include "kwdm/definitions/kwdmButtonDef.h"
#include "kwdm/definitions/kwdmGridDef.h"
#include "kwdm/definitions/kwdmViewDef.h"
#include "kwdm/view/kwdmGridView.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kwdmtest {

constexpr short kProgram = 7010;

// The texts of the message boxes shown since the last clear.
inline std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const auto& shown : xw_shown_messages()) texts.push_back(shown.text);
    return texts;
}

inline bool ShownContains(const std::string& part) {
    for (const auto& text : Shown())
        if (text.find(part) != std::string::npos) return true;
    return false;
}

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        xw_clear_shown_messages();
    }
    void TearDown() override {
        control.reset();
        window.reset();
        xw_clear_shown_messages();
    }

    // count generated issues (numbers 1..count) in the issue file.
    void MakeIssues(int64_t count) {
        IssueGeneratorOptions options;
        options.count = count;
        std::string error;
        ASSERT_TRUE(GenerateIssues(options, &error)) << error;
    }

    // The issue query and a grid view definition with the columns given (query column names).
    void Define(short rootStyle = 175, short order = 0,
                const std::vector<std::string>& columns = {"ISSUE", "STATUS", "RESPONS", "DUEDATE", "FORMESS"}) {
        query = manager.NewQuery("Issues");
        root = query->SetRoot(manager.Table("QVI", 1), "QVI", "issue", rootStyle, order);
        ASSERT_TRUE(root->AddAllColumns(1, 0, 1));
        root->AddColumn(std::make_unique<kwdmAttachmentsQueryColumn>("IATTACH", 1));
        view = manager.NewView("Issues Grid", query, 1, 1);
        auto grid = std::make_unique<kwdmGridDef>(508, "issue", kwdmGridDef::ROW_SELECT);
        for (const std::string& name : columns) grid->AddColumn(root->Column(name), 0, 0, "", 0, 1, 0xFFFFFF);
        gridDef = grid.get();
        view->AddControl(std::move(grid));
    }

    // A window holding a grid (ctrlId 508) and the view control made on it.
    bool Create(std::unique_ptr<kwdmAppEventData> data = nullptr) {
        window = std::make_unique<QWidget>();
        window->resize(700, 400);
        auto* layout = new QVBoxLayout(window.get()); // owned by the window
        grid = new kwdmGridView(window.get());       // owned by the window
        grid->setProperty("ctrlId", 508);
        layout->addWidget(grid);
        control = std::make_unique<kwdmViewCtrl>(*view, std::move(data), kProgram, std::make_unique<kwdmAudit>());
        if (!control->Create(window.get(), nullptr, 1)) return false;
        source = control->RootDataBuffer();
        return true;
    }

    kwdmTableModel& Model() const { return *grid->Model(); }
    // The issue number shown in a row.
    std::string IssueAt(int64_t row) const { return source->Text(row, *root->Column("ISSUE")); }
    std::string TextAt(int64_t row, const char* column) const { return source->Text(row, *root->Column(column)); }
    short File() const { return source->FileNumber(); }

    TestCompany company{false};
    kwdmObjectManager manager;
    kwdmQuery* query = nullptr;
    kwdmQueryNode* root = nullptr;
    kwdmViewDef* view = nullptr;
    kwdmGridDef* gridDef = nullptr;
    std::unique_ptr<QWidget> window;
    kwdmGridView* grid = nullptr;
    std::unique_ptr<kwdmViewCtrl> control;
    kwdmDataSource* source = nullptr;
};

} // namespace kwdmtest
