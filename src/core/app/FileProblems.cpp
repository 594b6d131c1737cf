#include "app/FileProblems.h"

namespace almanary {

Notice noticeOf(const AlmanaryProblem& problem) {
    using Kind = AlmanaryProblem::Kind;
    switch (problem.kind) {
        case Kind::Missing:
            return {MessageId::FileNotFound, {problem.path}};
        case Kind::Unreadable:
            return {MessageId::FileUnreadable, {problem.path, problem.detail}};
        case Kind::NotAlmanary:
            return {MessageId::NotAlmanary, {problem.path}};
        case Kind::Damaged:
            return {MessageId::FileDamaged, {problem.path, problem.detail}};
        case Kind::CannotWrite:
            break;
    }
    return {MessageId::SaveFailed, {problem.path, problem.detail}};
}

}  // namespace almanary
