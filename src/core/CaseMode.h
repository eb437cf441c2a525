#pragma once

// Whether a screen runs a real case, with server calls, or the practice walkthrough, which
// sends nothing. Screens keep the practice flag under the name they have always used
// (`simulateState`, `simulateNormal`, `simualateState`), typed as this.
enum class CaseMode { Practice, Real };

// The flag as the server and the stored state know it: 1 real case, 0 practice.
inline int practiceFlag(CaseMode mode) { return mode == CaseMode::Real ? 1 : 0; }

// The mode in a screen's arguments, given by the road of its case. It has no default: arguments
// that leave it out do not compile, so a mode nobody set never quietly means practice.
class GivenCaseMode {
public:
    GivenCaseMode(CaseMode mode) : mode_(mode) {}  // NOLINT(google-explicit-constructor): given as a CaseMode
    operator CaseMode() const { return mode_; }    // NOLINT(google-explicit-constructor): read as one

private:
    CaseMode mode_;
};
