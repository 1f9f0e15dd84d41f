// Reads a .ui file as XML: each <widget name="..."> with a <property name="ctrlId"> holding
// a <number>.
#include "UiControlIds.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

#include <vector>

std::map<std::string, int> UiControlIds(const std::string& path) {
    std::map<std::string, int> ids;
    QFile file(QString::fromStdString(std::string(QV_SOURCE_DIR) + "/" + path));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << path << " cannot be read";
        return ids;
    }
    QXmlStreamReader xml(&file);
    std::vector<std::string> widgets; // the enclosing widgets, innermost last
    bool inCtrlId = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"widget") {
                widgets.push_back(xml.attributes().value(QStringLiteral("name")).toString().toStdString());
            } else if (xml.name() == u"property") {
                inCtrlId = xml.attributes().value(QStringLiteral("name")) == u"ctrlId";
            } else if (xml.name() == u"number" && inCtrlId && !widgets.empty()) {
                bool ok = false;
                const int id = xml.readElementText().toInt(&ok);
                EXPECT_TRUE(ok) << path << ": ctrlId of " << widgets.back() << " is no number";
                EXPECT_EQ(ids.count(widgets.back()), 0u) << path << ": " << widgets.back() << " twice";
                ids[widgets.back()] = id;
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == u"widget" && !widgets.empty()) widgets.pop_back();
            else if (xml.name() == u"property") inCtrlId = false;
        }
    }
    if (xml.hasError()) ADD_FAILURE() << path << ": " << xml.errorString().toStdString();
    return ids;
}
