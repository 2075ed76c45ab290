// A fault-injecting wrapper around a real Word: every object it hands out wraps the real object, can
// fail a chosen member on its n-th call with an automation::Error, and records the calls in order.
//
// Members are named "Interface.Member" with the C++ member names of automation/word.h, for example
// "Rows.SetHeight", "Selection.Rows", "Border.LineStyle", "Find.Execute".
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "automation/word.h"

namespace gwtest {

class FaultPlan {
public:
    // Fails the nth call (counted from 1) of member. A failing call does not reach the real Word.
    void failOn(const std::string& member, int nth, long number = 5991,
                const std::string& message = "无法访问此集合中单独的行，因为表格有纵向合并的单元格。");
    // Fails every call of member from the nth on.
    void failFrom(const std::string& member, int nth, long number = 5991,
                  const std::string& message = "无法访问此集合中单独的行，因为表格有纵向合并的单元格。");

    // Runs action after each call of member has returned from the real Word, as a Word that leaves
    // things otherwise than the embedded one would (wired for "OLEFormat.Edit").
    void after(const std::string& member, std::function<void()> action);

    // Every call so far, in order (failed ones included).
    const std::vector<std::string>& calls() const { return calls_; }
    int callCount(const std::string& member) const;
    // The calls whose member is one of these, in order.
    std::vector<std::string> callsOf(const std::vector<std::string>& members) const;
    void clearCalls();

    // Called by the wrappers: records the call and throws when it is the one to fail.
    void call(const char* member);
    // Called by the wrappers once the real call returned.
    void returned(const char* member);

private:
    struct Fault {
        int nth = 1;
        bool onward = false;
        long number = 0;
        std::string message;
    };
    std::vector<std::string> calls_;
    std::map<std::string, int> counts_;
    std::multimap<std::string, Fault> faults_;
    std::multimap<std::string, std::function<void()>> after_;
};

// Wraps a real Word; the plan decides which calls fail.
std::shared_ptr<automation::Application> faultyWord(std::shared_ptr<automation::Application> real,
                                                    std::shared_ptr<FaultPlan> plan);

}  // namespace gwtest
