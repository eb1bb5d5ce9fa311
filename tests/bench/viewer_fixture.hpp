// viewer_fixture.hpp: the viewer with the big program open offscreen, shared by the pane, find and open benchmarks.
#pragma once

#include "map_model.hpp"

#include <memory>

namespace tessaly {
class CTessalyApp;
class CFriendLeftView;
class CFriendRightView;
} // namespace tessaly

// The program with the big file open and the right pane's list area 800 pixels high, made once.
// The QApplication is the benchmark main's.
struct Pane {
    std::unique_ptr<tessaly::MapModel> model;
    std::unique_ptr<tessaly::CTessalyApp> app;
    bool ok = false;

    Pane();
    ~Pane();

    void reopen();

    tessaly::CFriendRightView& view() const;
    tessaly::CFriendLeftView& leftView() const;
};

// The pane, with the big program opened again when a benchmark has read another tree since
// (the model points into the reader's tree, which every read replaces).
Pane& pane();

// Called by benchmarks that call IE_readIEEE themselves.
void treeReplaced();
