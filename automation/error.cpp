#include "automation/error.h"

namespace automation::errors {

Error serverGone() { return Error(ServerGone, "远程服务器不存在或不可用（Word 已退出）。"); }
Error noDocumentOpen() { return Error(NoDocumentOpen, "没有打开的文档，因此该命令无效。"); }
Error notAvailable(const std::string& what) {
    std::string text = "此方法或属性无效";
    text += what.empty() ? "。" : "，因为" + what + "。";
    return Error(NotAvailable, text);
}
Error valueOutOfRange() { return Error(ValueOutOfRange, "值超出范围。"); }
Error noSuchMember() { return Error(NoSuchMember, "集合所要求的成员不存在。"); }
Error verticallyMerged() { return Error(VerticallyMerged, "由于表格中有纵向合并的单元格，无法访问此集合中的单独行。"); }
Error mixedCellWidths() { return Error(MixedCellWidths, "由于表格中的单元格宽度不一致，无法访问此集合中的单独列。"); }
Error invalidPattern() { return Error(InvalidPattern, "“查找内容”中包含无效的模式匹配表达式。"); }
Error badParameter(const std::string& what) {
    std::string text = "无效的过程调用或参数";
    text += what.empty() ? "。" : "：" + what + "。";
    return Error(BadParameter, text);
}

Error objectDeleted() { return Error(ObjectDeleted, "对象已被删除。"); }
Error overflow(const std::string& text) { return Error(Overflow, "溢出：“" + text + "”超出范围"); }
Error typeMismatch(const std::string& text) { return Error(TypeMismatch, "类型不匹配：“" + text + "”不是数字"); }
Error objectNotSet() { return Error(ObjectNotSet, "对象变量未设置"); }

namespace {
std::string withReason(std::string text, const std::string& what) {
    return text + (what.empty() ? "。" : "：" + what + "。");
}
}  // namespace

Error commandFailed(const std::string& what) { return Error(CommandFailed, withReason("命令失败", what)); }
Error subscriptOutOfRange() { return Error(SubscriptOutOfRange, "下标越界。"); }
Error cannotCreateObject() { return Error(CannotCreateObject, "ActiveX 部件不能创建对象。"); }
Error excelRefused(const std::string& what) {
    return Error(ExcelRefused, withReason("应用程序定义或对象定义错误", what));
}

}  // namespace automation::errors
