<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CdrConnection</name>
    <message>
        <source>CorelDraw没有响应, 操作已取消.</source>
        <translation>CorelDraw did not respond; the operation was cancelled.</translation>
    </message>
    <message>
        <source>无法打开文档 %1: %2</source>
        <translation>Cannot open the document %1: %2</translation>
    </message>
    <message>
        <source>切割文件无法导出: %1</source>
        <translation>The cut file cannot be exported: %1</translation>
    </message>
    <message>
        <source>PDF文件无法生成: %1</source>
        <translation>The PDF cannot be made: %1</translation>
    </message>
    <message>
        <source>打印失败: %1</source>
        <translation>Printing failed: %1</translation>
    </message>
</context>
<context>
    <name>HostWindow</name>
    <message>
        <source>Notes from reading the file</source>
        <translation>Notes from reading the file</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>Layers (top first)</source>
        <translation>Layers (top first)</translation>
    </message>
    <message>
        <source>Open Drawing</source>
        <translation>Open Drawing</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg *.svgz);;All files (*)</source>
        <translation>SVG drawing (*.svg *.svgz);;All files (*)</translation>
    </message>
    <message>
        <source>Save Drawing As</source>
        <translation>Save Drawing As</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>SVG drawing (*.svg)</translation>
    </message>
    <message>
        <source>Drawing</source>
        <translation>Drawing</translation>
    </message>
    <message>
        <source>Cannot open %1:
%2</source>
        <translation>Cannot open %1:
%2</translation>
    </message>
    <message>
        <source>Opened %1 (%2 note(s) from reading it)</source>
        <translation>Opened %1 (%2 note(s) from reading it)</translation>
    </message>
    <message>
        <source>Opened %1</source>
        <translation>Opened %1</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Not saved: %1</translation>
    </message>
    <message>
        <source>The drawing was not saved; %1 is as it was.
%2</source>
        <translation>The drawing was not saved; %1 is as it was.
%2</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Saved %1</translation>
    </message>
    <message>
        <source>Save the changes to %1?</source>
        <translation>Save the changes to %1?</translation>
    </message>
    <message>
        <source>Exporting the contours</source>
        <translation>Exporting the contours</translation>
    </message>
    <message>
        <source>Publishing the PDF</source>
        <translation>Publishing the PDF</translation>
    </message>
    <message>
        <source>Printing to %1</source>
        <translation>Printing to %1</translation>
    </message>
    <message>
        <source>Printing</source>
        <translation>Printing</translation>
    </message>
    <message>
        <source>Creating the cut boundary</source>
        <translation>Creating the cut boundary</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>&amp;Fit Page</source>
        <translation>&amp;Fit Page</translation>
    </message>
    <message>
        <source>&amp;Actual Size (100 %)</source>
        <translation>&amp;Actual Size (100 %)</translation>
    </message>
    <message>
        <source>&amp;Cut Lines</source>
        <translation>&amp;Cut Lines</translation>
    </message>
    <message>
        <source>C&amp;rease Lines</source>
        <translation>C&amp;rease Lines</translation>
    </message>
    <message>
        <source>&amp;Mark Zones</source>
        <translation>&amp;Mark Zones</translation>
    </message>
    <message>
        <source>Boundary</source>
        <translation>Boundary</translation>
    </message>
    <message>
        <source>Cut margin (mm)</source>
        <translation>Cut margin (mm)</translation>
    </message>
    <message>
        <source>How far &quot;Create Boundary&quot; cuts outside the art, so that a slight misregistration shows no white edge</source>
        <translation>How far &quot;Create Boundary&quot; cuts outside the art, so that a slight misregistration shows no white edge</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Unsaved changes</translation>
    </message>
    <message>
        <source>%1...</source>
        <translation>%1...</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: done</translation>
    </message>
    <message>
        <source>Changed since saved</source>
        <translation>Changed since saved</translation>
    </message>
    <message>
        <source>Opening %1</source>
        <translation>Opening %1</translation>
    </message>
    <message>
        <source>Print bleed (mm)</source>
        <translation>Print bleed (mm)</translation>
    </message>
    <message>
        <source>How far &quot;Create Boundary&quot; runs the print on past each contour in the art&apos;s edge colours, so that a cut on the art&apos;s edge shows no white edge</source>
        <translation>How far &quot;Create Boundary&quot; runs the print on past each contour in the art&apos;s edge colours, so that a cut on the art&apos;s edge shows no white edge</translation>
    </message>
</context>
<context>
    <name>JobMessage</name>
    <message>
        <source>未找到定位标记, 请先添加标记!</source>
        <translation>No registration marks found. Please add the marks first!</translation>
    </message>
    <message>
        <source>定位标记超过4个, 请检查Mark Layer!</source>
        <translation>More than 4 registration marks. Please check the Mark Layer!</translation>
    </message>
    <message>
        <source>文件保存失败!</source>
        <translation>The file could not be saved!</translation>
    </message>
    <message>
        <source>切割内容为空, 但页面上有图稿: 本作业不会切割任何东西. 请用 &apos;Create Boundary&apos; 生成切割轮廓, 或检查 &quot;Cutting Layer&quot;.</source>
        <translation>The cut is empty although the page holds artwork: this job cuts nothing. Make the cut contours with &apos;Create Boundary&apos;, or check &quot;Cutting Layer&quot;.</translation>
    </message>
</context>
<context>
    <name>LinkMessage</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>缺纸!</source>
        <translation>Out of paper!</translation>
    </message>
    <message>
        <source>IP地址格式错误!</source>
        <translation>The IP address is not valid!</translation>
    </message>
    <message>
        <source>连接超时!</source>
        <translation>The connection timed out!</translation>
    </message>
    <message>
        <source>与切割机的连接已断开!</source>
        <translation>The connection to the cutter was lost!</translation>
    </message>
    <message>
        <source>未连接切割机!</source>
        <translation>No cutter connected!</translation>
    </message>
    <message>
        <source>切割机无法打开, 请检查USB权限!</source>
        <translation>The cutter cannot be opened. Please check the USB permissions!</translation>
    </message>
    <message>
        <source>已停止切割!</source>
        <translation>Cutting stopped!</translation>
    </message>
    <message>
        <source>将于本张切割结束后停止, 请等待...</source>
        <translation>Cutting stops when this sheet is done. Please wait...</translation>
    </message>
</context>
<context>
    <name>MarkZones</name>
    <message>
        <source>art under the %1 mark</source>
        <translation>art under the %1 mark</translation>
    </message>
</context>
<context>
    <name>PluginMW</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请确认CorelDraw安装并选择正确的CorelDraw版本...</source>
        <translation>Please make sure CorelDraw is installed and the right CorelDraw version is chosen...</translation>
    </message>
    <message>
        <source>设置无法保存!</source>
        <translation>The settings could not be saved!</translation>
    </message>
    <message>
        <source>Add Mark</source>
        <translation>Add Mark</translation>
    </message>
    <message>
        <source>Create Boundary</source>
        <translation>Create Boundary</translation>
    </message>
    <message>
        <source>Setup Print</source>
        <translation>Setup Print</translation>
    </message>
    <message>
        <source>Save As *.plt</source>
        <translation>Save As *.plt</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Send to Cutter</source>
        <translation>Send to Cutter</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Auto-Next:</source>
        <translation>Auto-Next:</translation>
    </message>
    <message>
        <source>■</source>
        <translation>■</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Top:</source>
        <translation>Top:</translation>
    </message>
    <message>
        <source>Bottom:</source>
        <translation>Bottom:</translation>
    </message>
    <message>
        <source>Left:</source>
        <translation>Left:</translation>
    </message>
    <message>
        <source>Right:</source>
        <translation>Right:</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>RMX:</source>
        <translation>RMX:</translation>
    </message>
    <message>
        <source>RMY:</source>
        <translation>RMY:</translation>
    </message>
    <message>
        <source>Wd:</source>
        <translation>Wd:</translation>
    </message>
    <message>
        <source>H:</source>
        <translation>H:</translation>
    </message>
    <message>
        <source>We:</source>
        <translation>We:</translation>
    </message>
    <message>
        <source>CorelDraw:</source>
        <translation>CorelDraw:</translation>
    </message>
    <message>
        <source>Dash Line:</source>
        <translation>Dash Line:</translation>
    </message>
    <message>
        <source>Pos:</source>
        <translation>Pos:</translation>
    </message>
    <message>
        <source>Neg:</source>
        <translation>Neg:</translation>
    </message>
    <message>
        <source>Knife:</source>
        <translation>Knife:</translation>
    </message>
    <message>
        <source>Close:</source>
        <translation>Close:</translation>
    </message>
    <message>
        <source>Auto-Sort</source>
        <translation>Auto-Sort</translation>
    </message>
    <message>
        <source>Cut-Blank</source>
        <translation>Cut-Blank</translation>
    </message>
    <message>
        <source>Create Cut Boundary</source>
        <translation>Create Cut Boundary</translation>
    </message>
    <message>
        <source>横向标记点</source>
        <translation>Horizontal marks</translation>
    </message>
    <message>
        <source>Save PDF instead of Print</source>
        <translation>Save PDF instead of Print</translation>
    </message>
    <message>
        <source>Send by RJ45</source>
        <translation>Send by RJ45</translation>
    </message>
    <message>
        <source>SavePDF</source>
        <translation>SavePDF</translation>
    </message>
    <message>
        <source>PDF File(*.pdf);;All File(*.*)</source>
        <translation>PDF File(*.pdf);;All File(*.*)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>将于本张切割结束后停止, 请等待...</source>
        <translation>Cutting stops when this sheet is done. Please wait...</translation>
    </message>
    <message>
        <source>SavePlt</source>
        <translation>SavePlt</translation>
    </message>
    <message>
        <source>HPGL File(*.plt);;All File(*.*)</source>
        <translation>HPGL File(*.plt);;All File(*.*)</translation>
    </message>
    <message>
        <source>都准备好了吗?</source>
        <translation>Ready to cut?</translation>
    </message>
    <message>
        <source>请确认显示的切割效果是正确的.
点击 &apos;OK&apos; 开始,或者
点击 &apos;Cancel&apos; 调整切割参数.</source>
        <translation>Please check that the cut shown is right.
Click &apos;OK&apos; to start, or
click &apos;Cancel&apos; to change the cut settings.</translation>
    </message>
</context>
</TS>
