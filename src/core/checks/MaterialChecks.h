#pragma once

#include "Library.h"
#include "clsMaterial.h"

#include <atomic>
#include <exception>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace mb {

enum class Severity { Error, Warning };

/// "error" or "warning".
std::string_view severityName(Severity s);

/// One rule broken by one material.
struct Finding {
    Severity severity = Severity::Error;
    std::string rule;       ///< the rule's id, e.g. "poisson-range"
    std::string message;    ///< names every value involved
    std::vector<int> slots; ///< the catalogue slots the finding involves, for marking rows
};

/// The plausibility rules, each with its id and severity, in the order they are checked.
struct CheckRule {
    std::string_view id;
    Severity severity;
};
const std::vector<CheckRule>& checkRules();

/// Whether findings carry their messages. Unworded findings are the same findings in the
/// same order with empty messages: a list of thousands words only the lines it shows.
enum class Wording { Worded, Unworded };

/// Every rule `material` breaks, at most one finding per rule, in rule order. The rules
/// read the values the material has, in SI, whatever model type it is shown as. The
/// messages give values as stored, in SI without units; with a `unitSystem` ("IPS", "SI",
/// "MKS") in that system, each with its unit ("GXY = 159542 psi").
std::vector<Finding> checkMaterial(const clsMaterial& material, std::string_view unitSystem = "",
                                   Wording wording = Wording::Worded);

/// A finding of one material of a library.
struct LibraryFinding {
    int material = -1; ///< material number
    Finding finding;
};

/// The findings of every material, in number order, the messages as checkMaterial's.
std::vector<LibraryFinding> checkLibrary(const Library& library, std::string_view unitSystem = "",
                                         Wording wording = Wording::Worded);

/// checkLibrary begun now and finished by `take`: helper threads check the library's
/// materials a run at a time from the start, so the caller can do other work meanwhile,
/// and `take` has the caller check the runs still left beside them. The library must not
/// change until `take` has returned (or the check is destroyed, which waits for the
/// helpers).
class LibraryCheck {
public:
    LibraryCheck(const Library& library, std::string_view unitSystem = "",
                 Wording wording = Wording::Worded);
    ~LibraryCheck();
    LibraryCheck(const LibraryCheck&) = delete;
    LibraryCheck& operator=(const LibraryCheck&) = delete;

    /// Every finding, in number order, as checkLibrary gives them. Once only.
    std::vector<LibraryFinding> take();

private:
    /// Checks runs until none is left.
    void work();

    const Library& library_;
    std::string unitSystem_;
    Wording wording_;
    int count_;
    std::atomic<int> nextRun_{0};
    std::vector<std::vector<LibraryFinding>> runs_;
    std::vector<std::thread> helpers_;
    std::vector<std::exception_ptr> failures_; ///< each helper's, rethrown by take
};

/// How many errors and warnings `findings` hold, as the line under the grid says it:
/// "2 errors, 1 warning", or "No errors or warnings".
std::string findingSummary(const std::vector<Finding>& findings);

} // namespace mb
