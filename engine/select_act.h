// The ISelectAct object: a click on a note of the shown page selects it, and
// Activate moves the play position to that note's measure.
#pragma once
#include "engine/score_object.h"

namespace zyqn {

class CSelectAct : public ISelectAct {
public:
    CSelectAct();
    int HitTest(IScore* score, const POINT* clientPoint);
    void Activate();
    void QueryResult(void* buffer) const;

private:
    IScore* score_ = nullptr;  // checked again before use: it may be released in between
    EventRef hit_;
    int resultMeasure_ = 0;
};

}  // namespace zyqn
