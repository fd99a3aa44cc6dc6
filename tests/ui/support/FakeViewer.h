#pragma once
// A viewer that records what it is asked to open and accepts or refuses
// everything as the test says.
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/viewer/ViewerAccess.h"

namespace tarnwick::test {

struct ViewerResultRequest {
    std::string path;
    std::int64_t start = 0;
    std::int64_t length = 0;
    std::int64_t splitLength = 0;
};

class FakeViewer : public ui::ViewerAccess {
public:
    bool openForResult(const QString& path, std::int64_t byteStart, std::int64_t byteLength, std::int64_t splitLength) override
    {
        requests.push_back({path.toStdString(), byteStart, byteLength, splitLength});
        return accepts;
    }
    bool openInnerForResult(const QString& name, const std::function<ui::ViewerInnerRead()>& read, std::int64_t start,
                            std::int64_t length, std::int64_t splitLength) override
    {
        requests.push_back({name.toStdString(), start, length, splitLength});
        innerReads.push_back(read());
        return accepts;
    }
    void markForReload() override {}
    bool openFile(const QString& path) override
    {
        opened.push_back(path.toStdString());
        if (accepts) shown = path;
        return accepts;
    }
    QString currentPath() const override { return shown; }
    bool confirmClose() override { return true; }
    QWidget* page() override { return nullptr; }

    bool accepts = true;
    QString shown;
    std::vector<ViewerResultRequest> requests;
    std::vector<ui::ViewerInnerRead> innerReads;
    std::vector<std::string> opened;
};

}  // namespace tarnwick::test
