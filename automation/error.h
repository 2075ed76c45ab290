// The one failure type that crosses the automation interface: Word's error number and its text.
#pragma once

#include <stdexcept>
#include <string>

namespace automation {

class Error : public std::runtime_error {
public:
    Error(long number, const std::string& message) : std::runtime_error(message), number_(number) {}

    // Word's error number (for example 5941 for a missing collection member).
    long number() const noexcept { return number_; }
    // The text Word would show for it, in Chinese.
    std::string message() const { return what(); }

private:
    long number_;
};

// Word's error numbers, with their Chinese texts: the ones the embedded Word raises, and the ones
// Word's macro language gives a conversion or a missing object.
namespace errors {
inline constexpr long Overflow = 6;             // a number too large for its type
inline constexpr long TypeMismatch = 13;        // a text that is no number where a number is needed
inline constexpr long ObjectNotSet = 91;        // an object that was never obtained
inline constexpr long ServerGone = 462;         // the application has quit
inline constexpr long BadParameter = 5;         // invalid procedure call or argument
inline constexpr long NoDocumentOpen = 4248;    // no document is open
inline constexpr long NotAvailable = 4605;      // method or property not available here
inline constexpr long ValueOutOfRange = 4608;   // value out of range
inline constexpr long FileError = 5174;         // the file could not be opened
inline constexpr long InvalidPattern = 5560;    // the wildcard pattern is not valid
inline constexpr long NoSuchMember = 5941;      // requested collection member does not exist
inline constexpr long VerticallyMerged = 5991;  // rows of a table with vertically merged cells
inline constexpr long MixedCellWidths = 5992;   // columns of a table with mixed cell widths
inline constexpr long SaveFailed = 5153;        // the file could not be saved
inline constexpr long ObjectDeleted = 5825;     // the object has been deleted
inline constexpr long CommandFailed = 4198;     // Word could not carry out the command (nothing to paste)

// Excel's and COM's error numbers, as Excel raises them through late binding.
inline constexpr long SubscriptOutOfRange = 9;   // no such member of an Excel collection
inline constexpr long CannotCreateObject = 429;  // ActiveX component can't create object (no Excel)
inline constexpr long ExcelRefused = 1004;       // application-defined or object-defined error

Error serverGone();
Error noDocumentOpen();
Error notAvailable(const std::string& what = {});
Error valueOutOfRange();
Error noSuchMember();
Error verticallyMerged();
Error mixedCellWidths();
Error invalidPattern();
Error badParameter(const std::string& what = {});
Error objectDeleted();
Error commandFailed(const std::string& what = {});
Error subscriptOutOfRange();
Error cannotCreateObject();
Error excelRefused(const std::string& what = {});
Error overflow(const std::string& text);
Error typeMismatch(const std::string& text);
Error objectNotSet();
}  // namespace errors

}  // namespace automation
