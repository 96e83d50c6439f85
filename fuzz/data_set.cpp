// The data set file, and its type name and comment as the views show them.
#include "standins/dtm/DataSet.h"

#include "BoundedText.h"
#include "CommentBoxText.h"

using namespace rq16;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto set = standins::DataSet::FromJson(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        // What is written back must read back the same; so must the comment
        // from its box, with soft breaks at sizes a short input reaches (a
        // paragraph separator is a line break in the box).
        identification::CommentBoxForm form;
        const QString box = identification::CommentForBox(set.comment, form, 12, 10);
        if (!(standins::DataSet::FromJson(set.ToJson()) == set) ||
            (!set.comment.contains(QChar::ParagraphSeparator) &&
             identification::CommentFromBox(box, form) != set.comment) ||
            ShownText(set.typeName).size() > kMaxShownLength) {
            __builtin_trap();
        }
        ToolTipText(set.typeName);
    } catch (const ComError&) {
    }
    return 0;
}
