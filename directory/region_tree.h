#pragma once

// The province box: its 32 entries in the order the box lists them. The first
// five carry their own area code; every other entry carries the cities that
// the city box then offers, in the order it offers them. Names are kept
// exactly as the box shows them, odd spellings included.

#include "directory/exact_index.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string_view>

namespace directory::data {

struct RegionEntry {
    std::string_view name;
    std::string_view areaCode; // set for a direct-code entry only
    std::span<const std::string_view> cities; // set for a city-list entry only
};

namespace cities {

// 辽宁省
inline constexpr std::string_view liaoning[] = {
    "沈阳", "大连", "鞍山", "抚顺", "本溪", "丹东", "锦州", "营口", "阜新", "辽阳", "铁岭", "朝阳",
    "葫芦岛",
};
// 江苏省
inline constexpr std::string_view jiangsu[] = {
    "南京", "镇江", "苏州", "南通", "扬州", "盐城", "徐州", "淮阴", "连云港", "常州", "无锡",
    "丹阳", "扬中", "金坛", "溧阳", "常熟", "张家港", "吴江", "昆山", "太仓", "海门", "启东",
    "如东、如皋", "海安", "泰州", "江都", "仪征", "六合", "句容",
};
// 湖北省
inline constexpr std::string_view hubei[] = {
    "武汉", "孝感", "鄂州", "黄石", "咸宁", "江陵", "恩施", "荆门", "襄樊", "黄冈", "神农架",
    "十堰", "随州", "仙桃", "天门", "潜江",
};
// 四川省
inline constexpr std::string_view sichuan[] = {
    "成都", "攀枝花", "自贡", "永川", "温江", "绵阳", "达川", "万县", "南充", "涪陵", "宜宾",
    "内江", "乐山", "西昌", "广安", "巴中", "资阳", "泸州", "眉山", "凉山", "雅安", "甘孜", "阿坝",
    "德阳", "广元",
};
// 陕西省
inline constexpr std::string_view shaanxi[] = {
    "西安", "咸阳", "延安", "榆林", "渭南", "安康", "汉中", "宝鸡", "铜川", "临潼",
};
// 广东省
inline constexpr std::string_view guangdong[] = {
    "广州", "韶关", "惠州", "梅县", "汕头", "深圳", "珠海", "佛山", "肇庆", "湛江", "东莞", "揭阳",
    "南海", "三水", "中山", "新会", "开平", "潮州", "江门", "清远", "河源", "云浮", "茂名",
};
// 河北省
inline constexpr std::string_view hebei[] = {
    "石家庄", "保定", "承德", "唐山", "沧州", "衡水", "邢台", "邯郸", "秦皇岛", "廊坊",
};
// 山西省
inline constexpr std::string_view shanxi[] = {
    "太原", "大同", "阳泉", "长治", "忻州", "晋城", "临汾", "朔州", "吕梁", "晋中", "运城",
};
// 河南省
inline constexpr std::string_view henan[] = {
    "郑州", "安阳", "新乡", "许昌", "平顶山", "南阳", "开封", "洛阳", "商丘", "焦作", "鹤壁",
    "信阳", "濮阳", "周口", "漯河", "驻马店", "潢川", "三门峡",
};
// 吉林省
inline constexpr std::string_view jilin[] = {
    "长春", "吉林", "延吉", "四平", "通化", "辽源", "白城", "松原", "白山",
};
// 黑龙江省
inline constexpr std::string_view heilongjiang[] = {
    "哈尔滨", "齐齐哈尔", "牡丹江", "佳木斯", "绥化", "大庆", "黑河", "大兴安岭", "伊春", "七台河",
    "鸡西", "鹤岗", "双鸭山",
};
// 内蒙古自治区
inline constexpr std::string_view neimenggu[] = {
    "呼和浩特", "呼伦贝尔", "包头", "乌海", "通辽", "赤峰", "鄂尔多斯", "乌兰察布盟", "巴彦淖尔盟",
    "锡林郭勒盟", "兴安盟", "阿拉善盟",
};
// 山东省
inline constexpr std::string_view shandong[] = {
    "济南", "青岛", "淄博", "德州", "烟台", "潍坊", "济宁", "泰安", "临沂", "菏泽", "胶州", "莱阳",
    "滨州", "东营", "威海", "枣庄", "日照", "莱芜", "聊城",
};
// 安徽省
inline constexpr std::string_view anhui[] = {
    "合肥", "蚌埠", "芜湖", "淮南", "马鞍山", "安庆", "宿县", "阜阳", "黄山市", "铜陵", "宣州",
    "六安", "巢湖", "滁州", "毫州", "淮北", "池州",
};
// 浙江省
inline constexpr std::string_view zhejiang[] = {
    "杭州", "湖州", "嘉兴", "宁波", "绍兴", "台州", "温州", "丽水", "金华", "衢州", "龙游", "余杭",
    "肖山", "富阳", "建德、淳安", "临安", "德清", "嘉善、平湖", "海盐、海宁", "桐乡", "象山",
    "宁海", "奉化", "余姚", "慈溪", "东阳", "上虞", "嵊州", "诸暨", "舟山", "岱山", "普陀", "兰溪",
    "温岭", "永嘉", "乐清、瑞安", "平阳", "青田", "义乌",
};
// 福建省
inline constexpr std::string_view fujian[] = {
    "福州", "厦门", "宁德", "莆田", "泉州", "晋江", "漳州", "三明", "南平", "建阳", "古田", "龙岩",
};
// 湖南省
inline constexpr std::string_view hunan[] = {
    "长沙", "湘潭", "株洲", "衡阳", "郴州", "常德", "益阳", "娄底", "邵阳", "岳阳", "湘西",
    "张家界", "怀化", "永州",
};
// 江西省
inline constexpr std::string_view jiangxi[] = {
    "南昌", "九江", "上饶", "临川", "宜春", "吉安", "赣州", "景德镇", "萍乡", "新余", "庐山",
    "鹰潭", "抚州",
};
// 贵州省
inline constexpr std::string_view guizhou[] = {
    "贵阳", "遵义", "安顺", "都匀", "凯里", "铜仁", "黔南", "黔东南", "毕节", "六盘水", "黔西南",
};
// 云南省
inline constexpr std::string_view yunnan[] = {
    "昆明", "曲靖", "保山", "楚雄", "思茅", "西双版纳", "德宏", "昭通", "大理", "红河", "文山",
    "玉溪", "临沧", "怒江", "迪庆", "丽江",
};
// 甘肃省
inline constexpr std::string_view gansu[] = {
    "兰州", "定西", "平凉", "庆阳", "武威", "酒泉", "天水", "临夏", "金昌", "张掖", "嘉峪关",
    "陇南", "甘南", "白银",
};
// 宁夏自治区
inline constexpr std::string_view ningxia[] = {
    "银川", "石嘴山", "吴忠", "固原",
};
// 青海省
inline constexpr std::string_view qinghai[] = {
    "西宁", "海北州", "海东州", "黄南", "海南州", "果洛", "玉树", "海西州",
};
// 广西自治区
inline constexpr std::string_view guangxi[] = {
    "南宁", "柳州", "桂林", "梧州", "百色", "防城港", "崇左", "来宾", "贺州", "贵港", "玉林",
    "钦州", "河池", "北海",
};
// 西藏
inline constexpr std::string_view xizang[] = {
    "拉萨", "日咯则", "山南", "林芝", "昌都", "那曲", "阿里",
};
// 新疆
inline constexpr std::string_view xinjiang[] = {
    "乌鲁木齐", "塔城", "哈密", "和田", "阿勒泰", "克孜勒苏", "博尔塔拉", "克拉玛依", "奎屯",
    "石河子", "昌吉", "吐鲁番", "巴音郭楞", "阿克苏", "喀什", "伊犁",
};
// 台湾省
inline constexpr std::string_view taiwan[] = {
    "台北",
};
} // namespace cities

inline constexpr RegionEntry regionTree[] = {
    {"北京", "010", {}},
    {"上海", "021", {}},
    {"天津", "022", {}},
    {"重庆", "023", {}},
    {"香港", "852", {}},
    {"辽宁省", {}, cities::liaoning},
    {"江苏省", {}, cities::jiangsu},
    {"湖北省", {}, cities::hubei},
    {"四川省", {}, cities::sichuan},
    {"陕西省", {}, cities::shaanxi},
    {"广东省", {}, cities::guangdong},
    {"河北省", {}, cities::hebei},
    {"山西省", {}, cities::shanxi},
    {"河南省", {}, cities::henan},
    {"吉林省", {}, cities::jilin},
    {"黑龙江省", {}, cities::heilongjiang},
    {"内蒙古自治区", {}, cities::neimenggu},
    {"山东省", {}, cities::shandong},
    {"安徽省", {}, cities::anhui},
    {"浙江省", {}, cities::zhejiang},
    {"福建省", {}, cities::fujian},
    {"湖南省", {}, cities::hunan},
    {"江西省", {}, cities::jiangxi},
    {"贵州省", {}, cities::guizhou},
    {"云南省", {}, cities::yunnan},
    {"甘肃省", {}, cities::gansu},
    {"宁夏自治区", {}, cities::ningxia},
    {"青海省", {}, cities::qinghai},
    {"广西自治区", {}, cities::guangxi},
    {"西藏", {}, cities::xizang},
    {"新疆", {}, cities::xinjiang},
    {"台湾省", {}, cities::taiwan},
};

// Every city the city box can offer, in box order, for the tables' checks.
inline constexpr auto offeredCities = [] {
    constexpr std::size_t count = [] {
        std::size_t n = 0;
        for (const RegionEntry &entry : regionTree)
            n += entry.cities.size();
        return n;
    }();
    std::array<std::string_view, count> all{};
    auto out = all.begin();
    for (const RegionEntry &entry : regionTree)
        out = std::ranges::copy(entry.cities, out).out;
    return all;
}();

// The same, indexed; building the index checks that no city is offered twice.
inline constexpr detail::ExactIndex<std::string_view, std::identity{}, 1024> offeredCityIndex{offeredCities};

} // namespace directory::data
