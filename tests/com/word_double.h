// A scripted double of Word's automation objects, served through the real COM runtime: registered under
// the ProgID "Word.Application" in this process, it answers IDispatch calls for the members Word has,
// logs every call with its invoke kind and argument types, and fails or stalls where a test asks.
#pragma once

#include "automation/com/win32.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace comtest {

// How the double answers one member ("Type.Member"), from the nth call on.
struct Rule {
    int fromCall = 1;
    long wordError = 0;                          // raise Word's error number through EXCEPINFO
    HRESULT failure = S_OK;                      // fail the Invoke with this HRESULT
    int busyTimes = 0;                           // answer RPC_E_SERVERCALL_RETRYLATER this many times first
    std::function<void(VARIANT* result)> value;  // the value returned, when not the default
};

inline Rule raises(long wordError) {
    Rule rule;
    rule.wordError = wordError;
    return rule;
}
inline Rule fails(HRESULT failure) {
    Rule rule;
    rule.failure = failure;
    return rule;
}
inline Rule busy(int times) {
    Rule rule;
    rule.busyTimes = times;
    return rule;
}
inline Rule answers(std::function<void(VARIANT* result)> value) {
    Rule rule;
    rule.value = std::move(value);
    return rule;
}

class WordDouble {
public:
    WordDouble();
    ~WordDouble();

    // Every call so far, as "Type.Member KIND(args)"; args as "I4 3", "R4 1.5", "BOOL -1", "BSTR text",
    // "missing" for an omitted one. KIND is GET, PUT or METHOD.
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Just the "Type.Member KIND" parts.
    std::vector<std::string> members() const;

    void on(const std::string& member, Rule rule) { rules_[member].push_back(std::move(rule)); }
    // This double's Word has no such member ("Application.UndoRecord" for Word 2007): its name is
    // unknown to GetIDsOfNames and a call by a cached id is refused.
    void lacks(const std::string& member) { missing_.push_back(member); }
    bool has(const std::string& type, const std::string& member) const;
    void returnInt(const std::string& member, int value);
    void returnString(const std::string& member, const std::string& value);

    // Objects created and not yet released to zero; and how many were released once too often.
    int liveObjects() const { return live_; }
    int overReleases() const { return overReleases_; }
    // Calls to GetIDsOfNames, to see the id cache at work.
    int nameLookups() const { return nameLookups_; }

    // Makes this double the one "Word.Application" (or, when given, only the listed ones of
    // "Word.Application", "KWPS.Application" and "WPS.Application") and "Excel.Application" create.
    // A ProgID not listed is taken out of the registry.
    void install(const std::vector<std::string>& wordProgIds = {"Word.Application"});
    // The ProgIDs whose servers created an Application of this double, in order.
    const std::vector<std::string>& creations() const { return created_; }
    // Nothing serves "Word.Application" any more.
    void uninstall();
    // An Excel of this double runs (GetActiveObject finds it) until stopExcel or the double's end.
    void runExcel();
    void stopExcel();

    // Called by the objects.
    IDispatch* newObject(const std::string& type);
    void createdAs(const std::string& progId) { created_.push_back(progId); }
    HRESULT invoke(const std::string& type, const std::string& member, WORD kind, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* info);
    void created() { ++live_; }
    void destroyed() { --live_; }
    void overReleased() { ++overReleases_; }
    void lookedUp() { ++nameLookups_; }

private:
    std::vector<std::string> calls_;
    std::map<std::string, std::vector<Rule>> rules_;
    std::vector<std::string> missing_;
    std::vector<std::string> created_;
    std::map<std::string, int> counts_;
    int live_ = 0;
    int overReleases_ = 0;
    int nameLookups_ = 0;
    DWORD runningExcel_ = 0;
};

// Registers the class factories and the ProgIDs once per process; they serve the installed double.
void registerWordServer();

// The id the double gives a member name (the same for every object and every double).
DISPID idOfName(const std::wstring& name);

}  // namespace comtest
