// The base of the View Issues tests: a throw-away company, preferences at their defaults,
// issues written through the issue store, and the View Issues document with its grid in
// the plain window, opened and closed as the task does.
#pragma once

#include "IssueGenerator.h"
#include "TestApplication.h"
#include "TestCompany.h"

#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvQueryFile.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvNextIssueNumber.h"
#include "qvcore/tasks/TaskViewIssues.h"
#include "qvcore/viewissues/viAppData.h"
#include "qvcore/viewissues/viDocument.h"
#include "qvcore/viewissues/viPlainGridView.h"

#include "kwdm/data/kwdmDataSource.h"
#include "kwdm/kwdmObjectManager.h"
#include "kwdm/query/kwdmQuery.h"
#include "kwdm/view/kwdmGridView.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace vitest {

class ViewIssuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        Prefs::SetDefaults();
        xw_clear_shown_messages();
        ASSERT_TRUE(file.Open());
    }
    void TearDown() override {
        CloseWindow();
        file.Close();
        Prefs::SetDefaults();
        xw_clear_shown_messages();
    }

    // Writes an issue (the next number) after fill set its values; answers its number.
    double Store(const std::function<void(qvIssue&)>& fill = {}) {
        qvIssue issue(file.Number(), 7098, true);
        if (fill) fill(issue);
        EXPECT_TRUE(issue.AddRecord());
        xio_unlock_record(file.Number(), 1, 1);
        return issue.Number();
    }
    // The issue as stored, null when there is none.
    std::unique_ptr<qvIssue> Stored(double number) {
        auto issue = std::make_unique<qvIssue>(file.Number(), 7098, false);
        return issue->ReadRecord(number) ? std::move(issue) : nullptr;
    }
    double LastId() {
        EXPECT_EQ(xio_rd_header(file.Number(), 1, 0), XIO_OK);
        x_value_def value;
        xio_get_field(file.Number(), 0, xio_num(file.Number(), 0, 0, "LASTID"), &value);
        return value.AsNumber();
    }
    void SetLastId(double number) {
        ASSERT_EQ(xio_rd_header(file.Number(), 1, 1), XIO_OK);
        const x_value_def value = x_value_def::OfNumber(number);
        xio_put_field(file.Number(), 0, xio_num(file.Number(), 0, 0, "LASTID"), &value);
        ASSERT_EQ(xio_wr_header(file.Number(), 1), XIO_OK);
    }
    int64_t IssueCount() {
        int64_t count = -1;
        xio_count_records(file.Number(), 1, &count);
        return count;
    }

    // The View Issues window's document and grid, as the task opens them.
    void OpenWindow() {
        document = std::make_unique<viDocument>(task);
        ASSERT_TRUE(document->OnNewDocument());
        view = std::make_unique<viPlainGridView>(*document);
        grid = document->GridControl();
        ASSERT_NE(grid, nullptr) << "the grid control was made on the window";
        source = grid->RootDataBuffer();
        data = document->AppData();
    }
    // Closes as the window's close does; false when the grid refused.
    bool CloseWindow() {
        if (!document) return true;
        const bool closed = document->SaveModified();
        if (!closed) return false;
        view.reset();
        document.reset();
        grid = nullptr;
        source = nullptr;
        return true;
    }
    kwdmGridView* GridView() const { return view->findChild<kwdmGridView*>(); }
    kwdmQueryRow& Row() const { return source->FocusedRow(); }
    std::string Cell(const char* column) const { return Row().Data(column)->NewText(); }
    bool Edit(const char* column, const std::string& text) {
        return source->UserEdit(*source->Node().Column(column), text);
    }
    // The row of an issue among the grid's rows, -1 when it does not show.
    int64_t RowOf(double issue) {
        for (int64_t row = 0; row < source->RecordCount(); ++row)
            if (source->Text(row, *source->Node().Column("ISSUE")) == std::to_string(static_cast<long long>(issue)))
                return row;
        return -1;
    }
    static void Operator(const char* id) { kwCompany::SetCurrentOperatorId(id); }

    // Saves a query into the company's query file as Build Query does.
    static void SaveQuery(const std::string& name, short order, std::vector<xc_cond_def> conditions) {
        query_file_info info{};
        info.handle = -1;
        info.fileNumber = 7010;
        info.lockFlag = 1;
        _qfi_build_path_name(&info);
        ASSERT_EQ(_qfi_lock(&info, 0, 2), 1);
        std::memset(&info.query, 0, sizeof(info.query));
        std::snprintf(info.query.name, sizeof(info.query.name), "%s", name.c_str());
        info.query.order = order;
        std::memcpy(info.query.version, QFI_RECORD_VERSION, 4);
        info.query.condCount = static_cast<int16_t>(conditions.size());
        info.query.conditions = conditions.empty() ? nullptr : conditions.data();
        int32_t length = 0;
        _qfi_get_query_size(&info.query, &length);
        _qfi_rewrite_existing_query(&info, name.c_str(), length);
        _qfi_unlock(&info);
    }

    TestCompany company{false};
    qvIssueFile file{7098};
    TaskViewIssues task;
    std::unique_ptr<viDocument> document;
    std::unique_ptr<viPlainGridView> view;
    kwdmViewCtrl* grid = nullptr;
    kwdmDataSource* source = nullptr;
    viAppData* data = nullptr;
};

} // namespace vitest
