<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CAxisRangeDlg</name>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>数值轴随可见曲线自动缩放</source>
        <translation>The value axis scales to the visible curves</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>点/页</source>
        <translation>points/page</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Minimum</translation>
    </message>
</context>
<context>
    <name>vantor::CDropListCtrl</name>
    <message>
        <source>移除曲线</source>
        <translation>Remove curve</translation>
    </message>
</context>
<context>
    <name>vantor::CFloatBoxDlg</name>
    <message>
        <source>关闭悬浮框</source>
        <translation>Close floating box</translation>
    </message>
</context>
<context>
    <name>vantor::CPointListDlg</name>
    <message>
        <source>提示：双击并长按点位，拖到下框绘制曲线</source>
        <translation>Tip: double-click and hold a point, then drag it into the list below to draw its curve</translation>
    </message>
</context>
<context>
    <name>vantor::CUiSettingsDlg</name>
    <message>
        <source>界面设置</source>
        <translation>Display Settings</translation>
    </message>
    <message>
        <source>采样序号</source>
        <translation>Sample number</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>X轴刻度</source>
        <translation>X axis scale</translation>
    </message>
</context>
<context>
    <name>vantor::CurveListModel</name>
    <message>
        <source>曲线图当前可见范围内的数值</source>
        <translation>Values within the chart&apos;s visible range</translation>
    </message>
    <message>
        <source>可见最小</source>
        <translation>Visible min</translation>
    </message>
    <message>
        <source>可见最大</source>
        <translation>Visible max</translation>
    </message>
    <message>
        <source>可见平均</source>
        <translation>Visible mean</translation>
    </message>
</context>
<context>
    <name>vantor::SettingsInput</name>
    <message>
        <source>“%1”须为 -32768 到 32767 之间的整数</source>
        <translation>“%1” must be an integer from -32768 to 32767</translation>
    </message>
    <message>
        <source>%1轴范围调节</source>
        <translation>%1 Axis Range</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>悬浮框字体</source>
        <translation>Floating box font</translation>
    </message>
    <message>
        <source>勾选框字体</source>
        <translation>Legend font</translation>
    </message>
    <message>
        <source>行间隔</source>
        <translation>Line spacing</translation>
    </message>
    <message>
        <source>曲线粗细</source>
        <translation>Line width</translation>
    </message>
    <message>
        <source>曲线采样间隔</source>
        <translation>Curve sampling interval</translation>
    </message>
    <message>
        <source>“曲线采样间隔”不能小于 1 ms</source>
        <translation>“Curve sampling interval” must be at least 1 ms</translation>
    </message>
</context>
</TS>
